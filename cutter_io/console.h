// A program's console: progress lines on standard output, errors on
// standard error, and the failure to write standard output itself, which is
// reported once and makes the run end in failure like any unwritten output.
#ifndef CUTTER_IO_CONSOLE_H
#define CUTTER_IO_CONSOLE_H

// "PROGRAM: cannot write standard output: REASON" on standard error, for
// the system's error number error.
void sayStandardOutputFailed(const char* program, int error);

class Console {
public:
    // program is the name errors begin with ("tablecut: ...").
    explicit Console(const char* program) : program_(program) {}

    // Prints text, or format with text for its one %s, on standard output.
    void print(const char* text);
    void print(const char* format, const char* text);

    // Reports on standard error that the file name could not be written for
    // the system's error number error, after the progress lines so far.
    void cannotWrite(const char* name, int error);

    // Flushes standard output; false when any of it could not be written.
    bool finish();

    // Whether writing standard output has failed so far.
    bool outputFailed() const { return outputFailed_; }

private:
    void check(bool failed);

    const char* program_;
    bool outputFailed_ = false;
};

#endif

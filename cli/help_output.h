// Help and version texts, shown on standard output.
#ifndef CLI_HELP_OUTPUT_H
#define CLI_HELP_OUTPUT_H

// Writes text to standard output; 0, or 2 (with a line on standard error
// that begins with program) when it cannot be written.
int showOnStandardOutput(const char* program, const char* text);

#endif

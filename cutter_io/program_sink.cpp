#include "program_sink.h"

bool ProgramSink::write(const OutputFile& file)
{
    console_.print(lineFormat_, file.name);
    const int error = writeFile_(file.name, file.data, file.size);
    if (error != 0) {
        console_.cannotWrite(file.name, error);
        return false;
    }
    return true;
}

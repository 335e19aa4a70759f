#include "d88cut.h"
#include "file_storage.h"

#include <cstdio>

int main(int argc, char** argv)
{
    FileStorage storage;
    StreamOutput output(stdout);
    return runD88cut(argc, argv, storage, output);
}

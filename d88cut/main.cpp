#include "d88cut.h"

#include <cstdio>

int main(int argc, char** argv)
{
    FileStorage storage;
    StreamOutput output(stdout);
    return runD88cut(argc, argv, storage, output);
}

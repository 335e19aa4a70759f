#include "d88info.h"

#include <cstdio>

int main(int argc, char** argv)
{
    StreamOutput output(stdout);
    return runD88info(argc, argv, output);
}

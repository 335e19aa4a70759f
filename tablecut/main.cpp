#include "tablecut.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    std::atexit(closeImage);
    return runTablecut(argc, argv, writeOutputFile);
}

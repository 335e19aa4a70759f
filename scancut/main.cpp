#include "scancut.h"

int main(int argc, char** argv)
{
    return runScancut(argc, argv, writeOutputFile);
}

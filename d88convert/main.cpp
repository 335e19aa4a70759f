#include "d88convert.h"

int main(int argc, char** argv)
{
    return runD88convert(argc, argv);
}

// A program outside the tree that links the installed library: prints the
// number of disks in the image it is given.
#include <d88image/d88image.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        return 2;
    }
    D88Image reader;
    if (!reader.open(argv[1])) {
        return 1;
    }
    std::printf("%d\n", reader.diskCount());
    return 0;
}

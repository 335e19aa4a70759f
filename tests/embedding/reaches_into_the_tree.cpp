// Must not compile: the tree's programs are not part of the library.
#include <tablecut/table_cut.h>

int main()
{
    return 0;
}

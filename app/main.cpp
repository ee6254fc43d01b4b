// Quorvel: shaped bitmap controls beside standard ones.
#include "program.h"

int main(int, char **argv)
{
    return Program::run(argv);
}

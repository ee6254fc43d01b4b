// Quorvel started exactly as its main() starts it, ended after the main window's first frame.
// For measuring only: the program itself takes no command line and gains no option for this.
#include "firstframe.h"
#include "form1.h"
#include "program.h"

int main(int, char **argv)
{
    return Program::run(argv, [](Form1 &form1) { new FirstFrame(&form1); });
}

// Quorvel started exactly as its main() starts it, ended after the main window's first frame.
// For measuring only: the program itself takes no command line and gains no option for this.
#include "app/form1.h"
#include "app/program.h"
#include "firstframe.h"
#include "runtime/qt/qtbackend.h"

int main(int, char **argv)
{
    return Runtime::QtUi::run(argv, Program::kName, [] {
        // The window exists from the form's construction, before it is shown.
        return Program::run([](Form1 &form1) { new FirstFrame(Runtime::QtUi::windowOf(form1)); });
    });
}

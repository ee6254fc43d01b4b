// Quorvel: shaped bitmap controls beside standard ones.
#include "app/program.h"
#include "runtime/application.h"

#if defined(_WIN32)
#include "runtime/win32/backend.h"
namespace Platform = Runtime::Win32;
#elif defined(__EMSCRIPTEN__)
#include "runtime/web/backend.h"
namespace Platform = Runtime::Web;
#else
#include "runtime/qt/backend.h"
namespace Platform = Runtime::QtUi;
#endif

int main(int, char **argv)
{
    return Platform::run(argv, Program::kName, [](Runtime::Backend &backend) {
        Runtime::Application application(backend, Program::kTitle);
        return Program::run(application);
    });
}

// Raises the runtime error given as the first argument (or, with
// "--signal N", raises that signal after installing the crash handlers).
#include "host/console.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--signal") == 0) {
        installCrashHandlers();
        std::raise(std::atoi(argv[2]));
        return 3;
    }
    raiseError(widen(argc >= 2 ? argv[1] : ""));
}

// Raises the runtime error given as the first argument (or, with
// "--signal N", raises that signal after installing the crash handlers; with
// "--uncaught", throws an error object out of an event dispatch).
#include "host/console.h"
#include "host/game.h"
#include "host/throwable.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

class ThrowingDelegate : public BBGameDelegate {
public:
    void onStart() override { throw ThrowableObject(); }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--uncaught") == 0) {
        BBGame game;
        ThrowingDelegate delegate;
        game.setDelegate(&delegate);
        game.startRun();
        return 3;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--signal") == 0) {
        installCrashHandlers();
        std::raise(std::atoi(argv[2]));
        return 3;
    }
    raiseError(widen(argc >= 2 ? argv[1] : ""));
}

#include "framework/entry.h"

#include "host/console.h"
#include "host/glfw_game.h"
#include "host/startup_trace.h"
#include "host/throwable.h"
#include "host/window_system.h"

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::vector<std::string> commandLine;

} // namespace

int runProgram(int argc, char** argv, const BBWindowPicture& picture, const std::function<void()>& constructApp)
{
    // Output errors are ignored: a closed output pipe must not end the
    // program, not even for the first GLFW error.
    std::signal(SIGPIPE, SIG_IGN);
    traceStartup("main");
    if (!startWindowSystem()) {
        printLine(U"glfwInit failed");
        endProcess(-1);
    }
    traceStartup("GLFW");
    // The host lives until the process ends: exit paths run no teardown.
    static std::unique_ptr<BBQuorvaneGame> game;
    try {
        game = std::make_unique<BBQuorvaneGame>();
        game->setWindowPicture(picture);
        commandLine.assign(argv, argv + argc);
        installCrashHandlers();
        if (!std::setlocale(LC_CTYPE, "en_US.UTF-8")) std::setlocale(LC_CTYPE, "");
        constructApp();
        if (game->delegate()) game->runLoop();
    } catch (const ThrowableObject& error) {
        endWindowSystem();
        game->reportUncaught(error);
    }
    endWindowSystem();
    // Not a return from main: the audio library's exit handler would complain
    // about the device that is never closed.
    endProcess(0);
}

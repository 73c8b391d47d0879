// An application that reports its hook calls, one line each with the time:
// "C" create, "U" update, "R" render. With "input" it reports instead what
// each update sees of the input device: "H code count" presses, "T char"
// typed characters, "W amount" the wheel; and "A count" when the loop wakes
// between updates for input, with the characters then waiting for the next
// update. "wake" does the same at 5 updates a second, so that keys mostly
// come while the loop waits.
#include "graphics/graphics_context.h"
#include "framework/app.h"
#include "framework/entry.h"
#include "host/input_device.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

double now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void report(char hook)
{
    std::printf("%c %.6f\n", hook, now());
    std::fflush(stdout);
}

class LoopProbe : public c_App {
public:
    explicit LoopProbe(const char* mode) : mode_(mode) {}

    void create() override
    {
        setUpdateRate(std::strcmp(mode_, "wake") == 0 ? 5 : 50);
        report('C');
    }

    void update() override
    {
        if (reportsInput()) return reportInput(*inputDevice());
        report('U');
    }

    void inputArrived() override
    {
        if (!reportsInput()) return;
        const c_InputDevice& input = *inputDevice();
        std::printf("A %d\n", input.charWrite - input.charRead);
        std::fflush(stdout);
    }

    void render() override
    {
        if (reportsInput()) return;
        report('R');
    }

private:
    bool reportsInput() const { return std::strcmp(mode_, "input") == 0 || std::strcmp(mode_, "wake") == 0; }

    static void reportInput(c_InputDevice& input)
    {
        for (int code = 1; code < c_InputDevice::keyCount; ++code)
            if (int count = input.hitCount(code)) std::printf("H %d %d\n", code, count);
        while (int character = input.nextChar()) std::printf("T %d\n", character);
        if (float wheel = input.takeWheel()) std::printf("W %g\n", wheel);
        std::fflush(stdout);
    }

    const char* mode_;
};

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "count";
    const BBWindowPicture window {U"Kovo Tracker v" KOVO_VERSION, 640, 475, {}};
    return runProgram(argc, argv, window, [mode] {
        createDrawState();
        static std::unique_ptr<LoopProbe> app = std::make_unique<LoopProbe>(mode);
    });
}

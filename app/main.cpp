#include "app/sound_engine.h"
#include "graphics/graphics_context.h"
#include "host/entry.h"
#include "host/window_scale.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    ScaleOption scale = readScaleOption(std::vector<std::string>(argv, argv + argc));
    if (!scale.error.empty()) {
        std::fprintf(stderr, "%s\n", scale.error.c_str());
        return 2;
    }
    requestWindowScale(scale.scale);
    return runProgram(argc, argv, [] {
        createDrawState();
        // The application lives until the process ends.
        static std::unique_ptr<c_SoundEngine> app = std::make_unique<c_SoundEngine>();
    });
}

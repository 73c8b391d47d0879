#include "app/sound_engine.h"
#include "graphics/graphics_context.h"
#include "host/entry.h"

int main(int argc, char** argv)
{
    return runProgram(argc, argv, [] {
        createDrawState();
        // The application lives until the process ends.
        static std::unique_ptr<c_SoundEngine> app = std::make_unique<c_SoundEngine>();
    });
}

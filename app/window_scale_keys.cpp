#include "app/sound_engine.h"

#include "host/game.h"
#include "host/window_scale.h"

// Ctrl+= and Ctrl+- make the window larger or smaller in whole steps; the
// choice is kept for the next start.
void c_SoundEngine::stepWindowScale(int step)
{
    BBGame* game = BBGame::game();
    if (!game) return;
    int before = game->windowScale();
    game->setWindowScale(before + step);
    if (game->windowScale() != before) rememberWindowScale(game->windowScale());
}

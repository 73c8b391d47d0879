#include "app/sound_engine.h"

#include "host/game.h"
#include "host/window_scale.h"

void c_SoundEngine::enlargeWindow() { stepWindowScale(+1); }

void c_SoundEngine::shrinkWindow() { stepWindowScale(-1); }

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

#include "app/sound_engine.h"

#include "app/user_input.h"
#include "host/game.h"
#include "host/window_scale.h"

// Ctrl+= and Ctrl+- make the window larger or smaller in whole steps; the
// choice is kept for the next start.
void c_SoundEngine::changeWindowScale()
{
    int step = int(controlPressed(input(), keyEquals)) - int(controlPressed(input(), keyMinus));
    BBGame* game = BBGame::game();
    if (step == 0 || !game) return;
    int before = game->windowScale();
    game->setWindowScale(before + step);
    if (game->windowScale() != before) rememberWindowScale(game->windowScale());
}

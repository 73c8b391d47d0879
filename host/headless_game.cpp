#include "host/headless_game.h"

#include "host/data_paths.h"

String BBHeadlessGame::resolvePath(const String& path)
{
    return resolveDataPath(path);
}

#include "host/headless_game.h"

#include "host/data_paths.h"

String BBHeadlessGame::resolvePath(const String& path)
{
    return resolveDataPath(path);
}

std::optional<ClipboardAnswer> BBHeadlessGame::takeClipboardText()
{
    if (!asked_) return std::nullopt;
    asked_ = false;
    return ClipboardAnswer {ClipboardAnswer::text, clipboard_};
}

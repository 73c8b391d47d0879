#include "host/headless_game.h"

std::optional<ClipboardAnswer> BBHeadlessGame::takeClipboardText()
{
    if (!asked_) return std::nullopt;
    asked_ = false;
    return ClipboardAnswer {ClipboardAnswer::text, clipboard_};
}

// The host for work without a window (the application's tests): a
// clipboard of its own and no windowing library at all.
#pragma once

#include "host/game.h"

class BBHeadlessGame : public BBGame {
public:
    // A clipboard of its own, for the program's copy and paste without a
    // window system.
    void setClipboardText(const String& text) override { clipboard_ = text; }
    String clipboardText() const { return clipboard_; }
    void requestClipboardText() override { asked_ = true; }
    std::optional<ClipboardAnswer> takeClipboardText() override;

private:
    String clipboard_;
    bool asked_ = false;
};

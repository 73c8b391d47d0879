// The status row's line for the panel parameter the pointer rests on. An
// outcome that arrives while it rests there (a save, a load) is not hidden:
// the line gives way until the pointer moves to another parameter.
#pragma once

#include "app/screen/panel_rows.h"
#include "base/text.h"

class PanelHint {
public:
    // Follows the pointer; status is what the status row would show else.
    void follow(float x, float y, const PanelValues& values, const String& status);
    // Empty while there is nothing to say.
    const String& text() const { return text_; }

private:
    // A window that opens under a resting pointer explains nothing: the
    // first positions it hears (none yet, then where the pointer already
    // was) are no move of the user's.
    static constexpr int positionsBeforeAMove = 2;
    int positionsSeen_ = 0;
    float lastX_ = -1, lastY_ = -1;
    int restingOn_ = -1;  // index into parameterWords
    String statusAtRest_;
    String text_;
};

// The parameter line under a window position, or -1.
int parameterUnder(float x, float y);

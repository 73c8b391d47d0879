#include "app/screen/panel_hint.h"

#include "app/editing/cell_text.h"
#include "app/screen/instrument_words.h"
#include "app/screen/screen_layout.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr float buttonPairWidth = 32;  // minus and plus
} // namespace

// From the line's left edge to the end of its buttons (ARP's second pair
// too), one text row high.
int parameterUnder(float x, float y)
{
    for (size_t i = 0; i < std::size(parameterWords); ++i) {
        float top = parameterWords[i].y;
        float right = layout::parameterTextX;
        for (const PanelRow& row : panelRows) {
            if (row.y == top && row.drawsFace) right = std::max(right, row.x + buttonPairWidth);
        }
        if (y >= top && y < top + layout::rowHeight && x >= layout::parameterTextX && x < right)
            return static_cast<int>(i);
    }
    return -1;
}

void PanelHint::follow(float x, float y, const PanelValues& values, const String& status)
{
    if (x != lastX_ || y != lastY_) positionsSeen_ += 1;
    lastX_ = x;
    lastY_ = y;
    int under = positionsSeen_ > positionsBeforeAMove ? parameterUnder(x, y) : -1;
    if (under != restingOn_) {
        restingOn_ = under;
        statusAtRest_ = status;
    }
    text_.clear();
    if (under < 0 || status != statusAtRest_) return;
    const ParameterWords& words = parameterWords[static_cast<size_t>(under)];
    int wave = instrumentSlot(values.song, values.cursor.instrument, slotWave);
    if (words.label == U"WAV" && isOwnWaveValue(wave)) {
        text_ = U"WAV " + byteHex(wave).substr(1) + U": the song's own wave " + intText(ownWaveSlot(wave) + 1);
        return;
    }
    text_.append(words.hint);
    if (words.label == U"WAV") text_.append(byteHex(wave)).append(U" ").append(waveformPairName(wave));
}

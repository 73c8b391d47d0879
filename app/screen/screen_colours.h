// The colours of the tracker screen, as handed to setTint (the renderer
// truncates them to whole numbers).
#pragma once

struct Colour {
    float r, g, b;
};

namespace colours {

constexpr Colour frame {86, 60, 106};
constexpr Colour text {148, 144, 164};
// The text colour divided by 1.3, for every fourth grid row.
constexpr Colour beat {148 / 1.3f, 144 / 1.3f, 164 / 1.3f};
constexpr Colour titleBar {38, 38, 38};
constexpr Colour statusText {171.6f, 37.2f, 104.4f};
constexpr Colour grid {0, 0, 0};
constexpr Colour positionMark {71, 53, 85};
constexpr Colour cursorBar {82, 72, 74};
constexpr Colour block {32, 32, 64};
constexpr Colour caret {143, 31, 87};
constexpr Colour description {128, 128, 128};
constexpr Colour white {255, 255, 255};
// A level meter's colour at its floor of 2 units and at its full 64; the
// heights between are in proportion.
constexpr Colour meterFloor {81, 93, 149};
constexpr Colour meterTop {143, 31, 87};
// The channel scopes' trace, on the grid's colour.
constexpr Colour scope {196, 190, 220};

} // namespace colours


// Where the mouse buttons of the screen are: every rectangle the tracker
// tests clicks against, in window units with strict bounds on both sides.
#pragma once

struct ButtonRect {
    float left, right, top, bottom;

    constexpr bool contains(float x, float y) const { return left < x && x < right && top < y && y < bottom; }
};

namespace buttons {

constexpr ButtonRect channelSwitches[4] = {
    {44, 98, 410, 426}, {110, 164, 410, 426}, {176, 230, 410, 426}, {242, 296, 410, 426}};
constexpr ButtonRect follow {308, 362, 410, 426};
// Both halves of the "LAYOUT" label switch the layout; likewise for the two
// halves of "COPYBLOCK" and "PASTE@POS".
constexpr ButtonRect layout[2] = {{516, 570, 442, 458}, {570, 624, 442, 458}};
constexpr ButtonRect edit {516, 570, 338, 354};
constexpr ButtonRect undo {570, 624, 338, 354};
constexpr ButtonRect play {516, 570, 320, 336};
constexpr ButtonRect home {570, 624, 320, 336};
constexpr ButtonRect insertPosition {385, 417, 26, 38};
constexpr ButtonRect deletePosition {385, 417, 38, 50};
constexpr ButtonRect songNameField {0, 380, 443, 457};
constexpr ButtonRect descriptionField {396, 776, 122, 136};
constexpr ButtonRect load {387, 441, 442, 458};
constexpr ButtonRect save {441, 495, 442, 458};
constexpr ButtonRect copyBlock[2] = {{516, 570, 361, 377}, {570, 624, 361, 377}};
constexpr ButtonRect pasteBlock[2] = {{516, 570, 381, 397}, {570, 624, 381, 397}};

} // namespace buttons

// The area the song list and the key help cover, the pattern grid and the
// position list, and how many font cells fit across it.
constexpr ButtonRect overlayArea {2, 382, 14, 399};
constexpr int overlayColumns = 34;

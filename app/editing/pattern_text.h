// Pattern cells as text on the system clipboard. Written: the pattern text
// most trackers exchange, a "ModPlug Tracker  XM" header line and one row a
// line, each channel a "|"-led cell of note, instrument, volume column and
// effect ("|C-501v64..."). Read: that text with any of its MOD, XM, S3M, IT
// and MPT headers, and the text of the Furnace tracker
// ("org.tildearrow.furnace - Pattern Data (N)", the first column, then rows
// of "|"-ended cells).
#pragma once

#include "base/text.h"

#include <optional>
#include <vector>

// One channel's cell as the characters of its note, volume, instrument and
// octave columns; 0 where pasted text gave nothing for a column, which then
// keeps what it holds.
struct ClipCell {
    char32_t note = 0;
    char32_t volume = 0;
    char32_t instrument = 0;
    char32_t octave = 0;
};

// The cells of one row, from the first channel copied or pasted on.
using ClipRow = std::vector<ClipCell>;

// What a pasted note takes where the text does not say: the instrument and
// octave typing it would take; the octave nearest the entry octave that
// reaches its pitch.
struct PasteDefaults {
    int octave = 2;
    int instrument = 1;
};

// The rows as pattern text, header line first, each line ended by "\n".
String writePatternText(const std::vector<ClipRow>& rows);

// The rows of pattern text in either format; nothing for any other text or
// one without a row.
std::optional<std::vector<ClipRow>> readPatternText(const String& text, const PasteDefaults& defaults);

// Where a file is, as the screen shows it to a musician: the home folder
// written "~", the rest as it is.
#pragma once

#include "base/text.h"

String shownFilePlace(const String& path);

// The text's start and end in the room given, with "..." for its middle
// (a file's name and an outcome stand at the ends); as it is when it fits.
String withoutMiddle(const String& text, size_t room);

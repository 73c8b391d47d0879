// The host for work without a window (the command-line export): the data
// folder beside the executable and the loading of files, and no windowing
// library at all.
#pragma once

#include "host/game.h"

class BBHeadlessGame : public BBGame {
public:
    String resolvePath(const String& path) override;
};

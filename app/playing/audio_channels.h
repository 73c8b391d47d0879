// The eight audio channels the editor and the players share: 1 to 4 the
// channels' first voices, 5 to 8 their second ones.
#pragma once

#include "audio/sound.h"

// Stops audio channels 1 to 8.
inline void stopAllChannels()
{
    for (int channel : {1, 2, 3, 4, 6, 5, 8, 7}) haltChannel(channel);
}

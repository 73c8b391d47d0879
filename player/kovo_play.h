// STUB: the song player (to be completed).
#pragma once

#include "app/song_model.h"

class c_kovoPlay : public Song {};

// The example songs that come with the tracker, composed here with the song
// writer: together they use every instrument value and every pattern sign.
#pragma once

#include "song/song_model.h"

#include <string>
#include <vector>

struct ExampleSong {
    std::string name;  // the file's name in the examples folder
    Song song;
};

std::vector<ExampleSong> exampleSongs();

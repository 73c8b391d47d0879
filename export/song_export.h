// One export: the song rendered to a sound file (and, for stems, one file per
// channel, in the same format), played through the given number of times, then a tail until
// every channel is silent (2 s at the most) that ends in a short fade.
// Every file is written beside its target and renamed only when all of them
// are complete, so a failed or cancelled export leaves no file behind.
#pragma once

#include "export/export_settings.h"
#include "song/song_model.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

enum class ExportOutcome { done, outputFailed, renderFailed, cancelled };

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::done;
    std::string message;  // why it failed, naming the file where one is to blame
};

// Told after every rendered tick: ticks done and the ticks all files take
// without their tails.
using ExportProgress = std::function<void(long long done, long long total)>;

// The stem file of a channel (1..4): "OUT.wav" gives "OUT-1.wav", "OUT.ogg"
// "OUT-1.ogg"; the extension is the format's.
std::string stemPath(const std::string& mixPath, int channel, AudioFormat format);

// Renders and writes everything; a set cancel flag stops it at the next tick.
ExportResult exportSong(Song song, const ExportSettings& settings, const std::string& mixPath,
                        const ExportProgress& progress, const std::atomic<bool>& cancel);

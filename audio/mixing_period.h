// How long OpenAL Soft's mixing periods are. With its own defaults it mixes
// 1024 frames at a time and keeps three of them queued before the sound card
// (about 70 ms at 44.1 kHz): far too slow for playing notes. OpenAL Soft
// 1.19 takes no period from a context's attributes (ALC_REFRESH is ignored),
// only from its configuration files, so the device is opened with a short
// configuration of the program's own added to them. The settings file's
// "audio_period" line chooses the period in frames, for a machine that needs
// more; "audio_period=openal" leaves OpenAL Soft's configuration alone.
#pragma once

#include <optional>
#include <string>

// The mixer wakes once a period (the null output twice), and its time goes
// to waking far more than to mixing eight voices: two periods of 384 frames
// queue the same 768 frames (17 ms at 44.1 kHz) as three of 256, so a new
// note waits no longer for the speaker, at a third fewer wakes.
inline constexpr int defaultMixingPeriod = 384;
inline constexpr int defaultQueuedPeriods = 2;
inline constexpr int shortestMixingPeriod = 64;
inline constexpr int longestMixingPeriod = 8192;
// A period the settings ask for keeps three queued: a machine that needs
// longer periods needs the slack too.
inline constexpr int chosenQueuedPeriods = 3;

struct MixingPeriod {
    int frames;
    int queued;  // periods queued before the sound card
    bool operator==(const MixingPeriod& other) const { return frames == other.frames && queued == other.queued; }
};

// The period an "audio_period" value asks for: a number of frames is held
// to 64..8192, a missing or unreadable value gives the default, "openal"
// gives none.
std::optional<MixingPeriod> mixingPeriodOf(const std::optional<std::string>& setting);

// The OpenAL Soft configuration text that asks for that period.
std::string mixingPeriodConfig(MixingPeriod period);

// While it lives, the configuration is there for an OpenAL Soft that starts
// up (its first device reads its configuration once). An ALSOFT_CONF given
// by the user (or a test) is kept as it is, and nothing is added to it.
class MixingPeriodConfig {
public:
    explicit MixingPeriodConfig(std::optional<MixingPeriod> period);
    ~MixingPeriodConfig();
    MixingPeriodConfig(const MixingPeriodConfig&) = delete;
    MixingPeriodConfig& operator=(const MixingPeriodConfig&) = delete;

private:
    int fd_ = -1;
};

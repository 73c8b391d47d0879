#include "export/export_room.h"

#include "base/file_replace.h"

#include <cstdio>
#include <map>
#include <sys/statvfs.h>

namespace {

constexpr int wavBytesPerFrame = 4;  // 16-bit stereo

// The smallest frames each encoder can make, as bytes per frames of sound:
// FLAC's shortest frame (header, two constant subframes, checksum) over its
// largest standard block; an Ogg packet of at least one byte and its lacing
// byte over Vorbis's longest block step and Opus's longest packet (120 ms);
// MP3's lowest bit rate, 32 kbit/s, whatever the rate.
struct Floor {
    uint64_t bytes;
    uint64_t frames;
};
constexpr Floor flacFloor {13, 4608};
constexpr Floor vorbisFloor {2, 4096};
constexpr Floor opusFloor {2, 5760};
constexpr uint64_t mp3BytesPerSecond = 32000 / 8;

std::string clockText(long long seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string megabytes(uint64_t bytes) { return std::to_string(bytes / 1000000) + " MB"; }

// The bytes the file system lets this user add in the folder; nothing known
// when it cannot say.
bool freeBytes(const std::string& folder, uint64_t& bytes)
{
    struct statvfs info {};
    if (statvfs(folder.c_str(), &info) != 0) return false;
    bytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    return true;
}

// The most ticks whose files (count of them) still fit into the bytes.
long long ticksFitting(uint64_t bytes, int files, const ExportSettings& settings)
{
    auto needed = [&](long long ticks) {
        return files * leastFileBytes(settings.format, settings.rate, ticks * framesPerTick(settings.rate));
    };
    long long low = 0, high = noRoomLimit;
    while (low < high) {
        long long middle = low + (high - low + 1) / 2;
        if (needed(middle) <= bytes) low = middle;
        else high = middle - 1;
    }
    return low;
}

} // namespace

uint64_t leastFileBytes(AudioFormat format, int rate, long long frames)
{
    uint64_t count = frames > 0 ? static_cast<uint64_t>(frames) : 0;
    auto over = [count](Floor floor) { return count / floor.frames * floor.bytes; };
    switch (format) {
    case AudioFormat::wav: return count * wavBytesPerFrame;
    case AudioFormat::flac: return over(flacFloor);
    case AudioFormat::ogg: return over(vorbisFloor);
    case AudioFormat::opus: return over(opusFloor);
    case AudioFormat::mp3: return count / static_cast<uint64_t>(rate) * mp3BytesPerSecond;
    case AudioFormat::mod:
    case AudioFormat::midi: return 0;  // a few kilobytes, whatever the length
    }
    return 0;
}

RoomLimit roomFor(const std::vector<std::string>& targets, const ExportSettings& settings)
{
    RoomLimit limit {noRoomLimit, std::string()};
    if (settings.format == AudioFormat::wav) {
        long long ticks = static_cast<long long>(largestWavData / wavBytesPerFrame) / framesPerTick(settings.rate);
        limit = {ticks, "the sound is longer than the " + clockText(ticks / updatesPerSecond) +
                            " a WAV file holds at " + std::to_string(settings.rate) + " Hz"};
    }
    std::map<std::string, int> files;  // by folder: stems sit beside their mix
    for (const std::string& target : targets) files[folderOf(target)] += 1;
    for (const auto& [folder, count] : files) {
        uint64_t available = 0;
        if (!freeBytes(folder, available)) continue;
        long long ticks = ticksFitting(available, count, settings);
        if (ticks < limit.ticks)
            limit = {ticks, "the sound needs more than the " + megabytes(available) + " free there (" +
                                clockText(ticks / updatesPerSecond) + " of it would fit)"};
    }
    return limit;
}

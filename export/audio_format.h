// The kinds of file an export writes, by the names the command line and the
// settings file use for them: sound files, and files of the song's notes
// for other trackers and for sequencers.
#pragma once

#include <array>
#include <optional>
#include <string>

enum class AudioFormat { wav, flac, ogg, opus, mp3, mod, midi };

struct AudioFormatInfo {
    AudioFormat format;
    const char* name;       // for --format and export_format=
    const char* extension;  // with its dot
    const char* label;      // as the status row shows it: 6 letters at the most fit there
    bool lossy;             // takes a VBR quality
    bool notes;             // the song's notes, not its sound: no rate, loops or stems
};

constexpr std::array<AudioFormatInfo, 7> audioFormats = {{
    {AudioFormat::wav, "wav", ".wav", "WAV", false, false},
    {AudioFormat::flac, "flac", ".flac", "FLAC", false, false},
    {AudioFormat::ogg, "ogg", ".ogg", "Vorbis", true, false},
    {AudioFormat::opus, "opus", ".opus", "Opus", true, false},
    {AudioFormat::mp3, "mp3", ".mp3", "MP3", true, false},
    {AudioFormat::mod, "mod", ".mod", "MOD", false, true},
    {AudioFormat::midi, "mid", ".mid", "MIDI", false, true},
}};
static_assert(audioFormats[static_cast<int>(AudioFormat::midi)].format == AudioFormat::midi, "the table is in enum order");

constexpr const AudioFormatInfo& formatInfo(AudioFormat format) { return audioFormats[static_cast<size_t>(format)]; }

// The format of a name such as "flac" or "FLAC".
std::optional<AudioFormat> formatNamed(const std::string& name);

// The extension of the file name in a path (".flac"), empty when it has none.
std::string fileExtension(const std::string& path);

// The format an extension stands for, whatever its case.
std::optional<AudioFormat> formatOfExtension(const std::string& extension);

// The format after this one, the last followed by the first.
AudioFormat nextFormat(AudioFormat format);

#include "tests/export/export_fixture.h"

#include "base/file_loading.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>

namespace {

uint32_t le32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

} // namespace

std::vector<float> WavContent::left() const
{
    std::vector<float> values;
    for (size_t i = 0; i < samples.size(); i += 2) values.push_back(static_cast<float>(samples[i]) / 32768.0f);
    return values;
}

// The chunks after "RIFF", size, "WAVE": "fmt " for the layout, "data" for
// the samples; tags and anything else are passed over.
WavContent readWav(const std::string& bytes)
{
    WavContent content;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return content;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        std::string tag = bytes.substr(at, 4);
        size_t size = std::min<size_t>(le32(bytes, at + 4), bytes.size() - at - 8);
        if (tag == "fmt " && size >= 16) {
            content.channels = static_cast<int>(le32(bytes, at + 10) & 0xFFFF);
            content.rate = static_cast<int>(le32(bytes, at + 12));
            content.bits = static_cast<int>(le32(bytes, at + 22) & 0xFFFF);
        } else if (tag == "data") {
            content.samples.resize(size / 2);
            std::memcpy(content.samples.data(), bytes.data() + at + 8, content.samples.size() * 2);
        }
        at += 8 + size + (size & 1);
    }
    return content;
}

Song testSong()
{
    Song song;
    song.patternColumns = blankColumns();
    const int instrument[slotsPerInstrument] = {4, 0, 0, 0, 255, 0, 0, 0};
    for (int slot = 0; slot < slotsPerInstrument; ++slot) song.instrumentParams[8 + slot] = instrument[slot];
    return song;
}

void putCell(Song& song, int channel, int row, const char32_t* cell, int pattern)
{
    for (int part = 0; part < 4; ++part)
        song.patternColumns[channelColumn(channel, part)][static_cast<size_t>(pattern * rowsPerPattern + row)] =
            cell[part];
}

std::string ExportTest::writeSong(const std::string& name, const Song& song)
{
    return folder.write(name, encodeUtf8(songText(song)));
}

ChildProcess& ExportTest::run(const std::vector<std::string>& args, const std::vector<std::string>& environment)
{
    std::string command = "cd '" + folder.path() + "' && exec '" + programDirectory() + "/kovo-tracker'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    process = std::make_unique<ChildProcess>(std::vector<std::string> {"sh", "-c", command}, environment);
    EXPECT_TRUE(process->waitExit(240)) << "the export did not end";
    return *process;
}

std::vector<std::string> ExportTest::files() const
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.path().c_str());
    while (dirent* entry = dir ? readdir(dir) : nullptr)
        if (entry->d_name[0] != '.') names.push_back(entry->d_name);
    if (dir) closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string examplesFolder() { return programDirectory() + "/data/examples"; }

std::vector<std::string> exampleNames()
{
    std::vector<std::string> names;
    if (DIR* folder = opendir(examplesFolder().c_str())) {
        while (dirent* entry = readdir(folder))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

Song loadExample(const std::string& name)
{
    std::string bytes = readFileBytes(examplesFolder() + "/" + name);
    Song song;
    parseSongText(decodeText(std::vector<unsigned char>(bytes.begin(), bytes.end())), song);
    return song;
}

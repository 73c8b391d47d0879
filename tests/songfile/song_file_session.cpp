#include "tests/songfile/song_file_session.h"

#include "tests/support/wait.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t nameInk = 0x9490A4;
constexpr int nameCells = 34;  // a blank, then up to 32 characters and the caret's cell

} // namespace

void shell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) throw std::runtime_error("command failed: " + command);
}

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

mode_t modeOf(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

mode_t entryModeOf(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

int temporariesIn(const std::string& folder)
{
    int count = 0;
    if (DIR* listing = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(listing)) count += std::string(entry->d_name).find('~') != std::string::npos;
        closedir(listing);
    }
    return count;
}

void SongFileSession::start(const std::vector<std::string>& launcher,
                            const std::function<void(const std::string&)>& prepare,
                            const std::vector<std::string>& environment)
{
    tracker = std::make_unique<TrackerProcess>(launcher, prepare, environment);
    ASSERT_TRUE(tracker->waitForWindow(60));
    ASSERT_TRUE(waitForStatus("Standby..."));
}

std::string SongFileSession::status() { return reader.status(tracker->screenshot()); }

std::string SongFileSession::shownName() { return reader.read(tracker->screenshot(), 0, 441, nameCells, nameInk); }

bool SongFileSession::waitForStatus(const std::string& text)
{
    return waitFor([&] { return status() == text; }, 30);
}

void SongFileSession::nameSong(const std::string& name)
{
    ASSERT_TRUE(tracker->enterSongName(name)) << "the name field shows \"" << tracker->shownSongName() << '"';
}

bool SongFileSession::pressFor(const std::string& key, const std::string& text)
{
    if (status().rfind(text, 0) == 0) {
        const std::string before = status();
        tracker->key("space");
        if (!waitFor([&] { return status() != before; }, 30)) return false;
    }
    tracker->key(key);
    return waitForStatus(text);
}

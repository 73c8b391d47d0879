// Song files at the edges, met through the real program the way a user meets
// them: names typed into the song-name field, F11 and F12, the status row
// read off the screen, the files compared byte for byte afterwards.
#include "host/file_loading.h"
#include "song/song_file.h"
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t statusInk = 0xAB2568;
constexpr const char* nobody = "65534";

void shell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) throw std::runtime_error("command failed: " + command);
}

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

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

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Names in a folder that end in the save's temporary suffix.
int temporariesIn(const std::string& folder)
{
    int count = 0;
    if (DIR* listing = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(listing)) count += std::string(entry->d_name).find('~') != std::string::npos;
        closedir(listing);
    }
    return count;
}

class SongFileSession : public ::testing::Test {
protected:
    // Replaces the song name, one Backspace per character of the old one.
    void nameSong(const std::string& name)
    {
        tracker->click(100, 450);
        if (!currentName.empty()) {
            std::string backspaces;
            for (size_t i = 0; i < currentName.size(); ++i) backspaces += "BackSpace ";
            tracker->key(backspaces);
        }
        tracker->type(name);
        tracker->key("Return");
        currentName = name;
    }

    std::string status() { return reader.read(tracker->screenshot(), 473, -1, 15, statusInk); }

    bool waitForStatus(const std::string& text)
    {
        const std::string shown = text + std::string(15 - text.size(), ' ');
        return waitFor([&] { return status() == shown; }, 20);
    }

    // Starts the tracker and waits until it has started up: its window may
    // be shown before it takes keys.
    void start(const std::vector<std::string>& launcher, const std::function<void(const std::string&)>& prepare)
    {
        tracker = std::make_unique<TrackerProcess>(launcher, prepare);
        ASSERT_TRUE(tracker->waitForWindow(60));
        ASSERT_TRUE(waitForStatus("Standby..."));
    }

    // Presses the key and waits for the status row to say the text. When it
    // says so already, Space changes it first, so that the answer is new.
    bool pressFor(const std::string& key, const std::string& text)
    {
        if (status().rfind(text, 0) == 0) {
            const std::string before = status();
            tracker->key("space");
            if (!waitFor([&] { return status() != before; }, 20)) return false;
        }
        tracker->key(key);
        return waitForStatus(text);
    }

    std::string songs() const { return tracker->folder() + "/data/songs"; }
    std::string song(const std::string& name) const { return tracker->songPath(name); }

    std::unique_ptr<TrackerProcess> tracker;
    ScreenText reader;
    std::string currentName;
};

} // namespace

TEST_F(SongFileSession, LoadsOfWhatIsNoSongLeaveTheSongAndTheProgramRunning)
{
    start({}, [](const std::string& folder) {
        std::string songs = folder + "/data/songs";
        shell("mkfifo '" + songs + "/fifo' && ln -s /dev/zero '" + songs + "/zero'");
        writeFile(songs + "/big", std::string(textFileLimit + 1, 'x'));
    });
    tracker->key("space");
    tracker->type("y");
    nameSong("before");
    ASSERT_TRUE(pressFor("F11", "File Saved..."));
    const std::string before = readFileBytes(song("before"));
    ASSERT_EQ(before.substr(7, 1), "y");  // the typed note, first in the file

    nameSong("big");
    EXPECT_TRUE(pressFor("F12", "File not found!"));
    // Saving over a FIFO or a device (through a link) is refused as well, so
    // that neither is replaced by a plain file or written into.
    for (const std::string name : {"fifo", "zero"}) {
        nameSong(name);
        EXPECT_TRUE(pressFor("F11", "Saving Failed!")) << name;
        EXPECT_TRUE(pressFor("F12", "File not found!")) << name;
    }
    nameSong("after");
    ASSERT_TRUE(pressFor("F11", "File Saved..."));
    EXPECT_TRUE(readFileBytes(song("after")) == before);
    EXPECT_TRUE(S_ISFIFO(entryModeOf(song("fifo"))));
    EXPECT_TRUE(S_ISLNK(entryModeOf(song("zero"))));
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/zero")));
    EXPECT_EQ(temporariesIn(songs()), 0);
    EXPECT_TRUE(tracker->closeWindow());
    EXPECT_EQ(tracker->process().exitStatus(), 0);
}

TEST_F(SongFileSession, SavesCutShortByAKillAreClearedAtStart)
{
    start({}, [](const std::string& folder) {
        writeFile(folder + "/data/songs/tune", "an earlier save");
        writeFile(folder + "/data/songs/tune~saving", "half a save");
        writeFile(folder + "/data/songs/tmp.dat~saving", "");
    });
    EXPECT_FALSE(exists(song("tune~saving")));
    EXPECT_FALSE(exists(song("tmp.dat~saving")));
    EXPECT_EQ(readFileBytes(song("tune")), "an earlier save");
}

TEST_F(SongFileSession, OnlyTheUsersSaveWaitsForTheDisk)
{
    std::string log = "/tmp/kovo-fsync-" + std::to_string(getpid()) + ".log";
    start({"strace", "-f", "-y", "-e", "trace=fsync,fdatasync,sync,syncfs", "-o", log}, [](const std::string&) {});
    nameSong("tune");
    ASSERT_TRUE(pressFor("F11", "File Saved..."));
    ASSERT_TRUE(pressFor("F1", "Playing..."));
    ASSERT_TRUE(exists(song("tmp.dat")));
    ASSERT_TRUE(pressFor("F1", "Standby..."));
    ASSERT_TRUE(tracker->closeWindow(60));

    // strace -y names each synced descriptor's file: the song under its
    // temporary name, then the songs folder after the rename.
    std::ifstream calls(log);
    int songSyncs = 0, folderSyncs = 0, temporarySongSyncs = 0;
    for (std::string line; std::getline(calls, line);) {
        songSyncs += line.find("/data/songs/tune~saving>") != std::string::npos;
        folderSyncs += line.find("/data/songs>") != std::string::npos;
        temporarySongSyncs += line.find("tmp.dat") != std::string::npos;
    }
    std::remove(log.c_str());
    EXPECT_EQ(songSyncs, 1);
    EXPECT_EQ(folderSyncs, 1);
    EXPECT_EQ(temporarySongSyncs, 0);
}

// Root ignores file modes, so these run the program as the user nobody.
class SavesAsAnOrdinaryUser : public SongFileSession {
protected:
    void startAsNobody(const std::function<void(const std::string&)>& prepare)
    {
        start({"setpriv", std::string("--reuid=") + nobody, std::string("--regid=") + nobody, "--clear-groups"},
              [&](const std::string& folder) {
                  shell("chmod 755 '" + folder + "'");
                  prepare(folder);
                  shell("chown -R " + std::string(nobody) + ":" + nobody + " '" + folder + "/data/songs'");
              });
    }

    // What the program saves for the song it starts with, saved by it.
    std::string startingSong()
    {
        nameSong("reference");
        return pressFor("F11", "File Saved...") ? readFileBytes(song("reference")) : std::string();
    }
};

TEST_F(SavesAsAnOrdinaryUser, AReadOnlySongIsNotReplaced)
{
    startAsNobody([](const std::string& folder) {
        writeFile(folder + "/data/songs/locked", "a finished song");
        shell("chmod 444 '" + folder + "/data/songs/locked'");
    });
    nameSong("locked");
    EXPECT_TRUE(pressFor("F11", "Saving Failed!"));
    EXPECT_EQ(readFileBytes(song("locked")), "a finished song");
    EXPECT_EQ(modeOf(song("locked")) & 07777, 0444u);
    EXPECT_EQ(temporariesIn(songs()), 0);
    EXPECT_EQ(startingSong().size(), 1675u);  // the program goes on, and saves elsewhere
}

TEST_F(SavesAsAnOrdinaryUser, ALinkedSongIsSavedIntoItsTargetAndModesAreKept)
{
    startAsNobody([](const std::string& folder) {
        shell("mkdir '" + folder + "/elsewhere' && chown " + nobody + " '" + folder + "/elsewhere'");
        writeFile(folder + "/elsewhere/target", "old");
        writeFile(folder + "/data/songs/private", "old");
        shell("chown " + std::string(nobody) + " '" + folder + "/elsewhere/target' && chmod 640 '" + folder +
              "/elsewhere/target' && chmod 600 '" + folder + "/data/songs/private' && ln -s ../../elsewhere/target '" +
              folder + "/data/songs/linked'");
    });
    const std::string saved = startingSong();
    nameSong("linked");
    EXPECT_TRUE(pressFor("F11", "File Saved..."));
    nameSong("private");
    EXPECT_TRUE(pressFor("F11", "File Saved..."));

    const std::string target = tracker->folder() + "/elsewhere/target";
    EXPECT_TRUE(S_ISLNK(entryModeOf(song("linked"))));
    EXPECT_TRUE(readFileBytes(target) == saved);
    EXPECT_EQ(modeOf(target) & 07777, 0640u);
    EXPECT_TRUE(readFileBytes(song("private")) == saved);
    EXPECT_EQ(modeOf(song("private")) & 07777, 0600u);
    EXPECT_EQ(temporariesIn(songs()), 0);
    EXPECT_EQ(temporariesIn(tracker->folder() + "/elsewhere"), 0);
}

TEST_F(SavesAsAnOrdinaryUser, NamesThatClimbOutOfTheSongsFolderAreRefused)
{
    startAsNobody([](const std::string& folder) { shell("mkdir '" + folder + "/data/songs/sub'"); });
    const std::string outside = "/tmp/kovo-escape-" + std::to_string(getpid());
    nameSong("../escape");
    EXPECT_TRUE(pressFor("F11", "Saving Failed!"));
    nameSong("../zukafont.png");
    EXPECT_TRUE(pressFor("F12", "File not found!"));
    nameSong(outside);
    EXPECT_TRUE(pressFor("F11", "Saving Failed!"));
    nameSong("sub/tune");
    EXPECT_TRUE(pressFor("F11", "File Saved..."));

    EXPECT_FALSE(exists(tracker->folder() + "/data/escape"));
    EXPECT_FALSE(exists(outside));
    EXPECT_EQ(readFileBytes(song("sub/tune")).size(), 1675u);
    std::remove(outside.c_str());
}

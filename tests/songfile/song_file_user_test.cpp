// Saves that respect the file they replace, tried as a user whom file modes
// bind (tests/support/ordinary_user.h).
#include "tests/songfile/song_file_session.h"
#include "tests/support/ordinary_user.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

class SavesAsAnOrdinaryUser : public SongFileSession {
protected:
    void startAsOrdinaryUser(const std::function<void(const std::string&)>& prepare)
    {
        start(ordinaryUser().launcher, [&](const std::string& folder) {
            shell("chmod 755 '" + folder + "'");
            prepare(folder);
            shell("chown -R " + ordinaryUser().owner + " '" + folder + "/data/songs'");
        });
    }

    // What the program saves for the song it starts with, saved by it.
    std::string startingSong()
    {
        nameSong("reference");
        return pressFor("F11", "File Saved...") ? readFileBytes(song("reference")) : std::string();
    }
};

} // namespace

TEST_F(SavesAsAnOrdinaryUser, AReadOnlySongIsNotReplaced)
{
    startAsOrdinaryUser([](const std::string& folder) {
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
    startAsOrdinaryUser([](const std::string& folder) {
        shell("mkdir '" + folder + "/elsewhere' && chown " + ordinaryUser().owner + " '" + folder + "/elsewhere'");
        writeFile(folder + "/elsewhere/target", "old");
        writeFile(folder + "/data/songs/private", "old");
        shell("chown " + ordinaryUser().owner + " '" + folder + "/elsewhere/target' && chmod 640 '" + folder +
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
    startAsOrdinaryUser([](const std::string& folder) { shell("mkdir '" + folder + "/data/songs/sub'"); });
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

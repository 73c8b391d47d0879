// Two (and three) real trackers on one songs folder, as when a musician opens
// a second song from the file manager: each keeps its own unsaved work, no
// start brings back work a running tracker holds, and, in turns for as long
// as KOVO_SOAK_SECONDS says, both edit, save, play, close and come back
// without touching each other's songs.
#include "song/song_file.h"
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <set>
#include <sys/stat.h>

namespace {

const std::vector<std::string> quickRefresh {"ALSOFT_DRIVERS=null", "KOVO_RECOVERY_INTERVAL_STEPS=25"};
constexpr int windowSpacing = 700;  // three windows side by side on the wide screen

std::set<std::string> filesIn(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.insert(entry->d_name);
        closedir(dir);
    }
    return names;
}

std::string recoveryFile(const TrackerProcess& tracker, int number)
{
    std::string data = tracker.folder() + "/data/";
    return number == 1 ? data + "unsaved_song.dat" : data + "unsaved_song-" + std::to_string(number) + ".dat";
}

// The first note cell of a recovery file's song: the song follows the name
// and path lines.
char firstNoteOf(const std::string& recovery)
{
    size_t lines = 0, pos = 0;
    while (lines < 4 && (pos = recovery.find('\n', pos)) != std::string::npos) ++lines, ++pos;
    return pos != std::string::npos && pos + 7 < recovery.size() ? recovery[pos + 7] : '\0';
}

class TwoTrackers : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureXvfb("2100x600x24"); }

    // Starts a tracker (a second one in the first one's folder) in the
    // window place given, once its window shows.
    std::unique_ptr<TrackerProcess> start(int place, TrackerProcess* first = nullptr)
    {
        auto tracker = first ? std::make_unique<TrackerProcess>(*first, quickRefresh)
                             : std::make_unique<TrackerProcess>(quickRefresh);
        EXPECT_TRUE(tracker->waitForWindow());
        tracker->moveWindow(place * windowSpacing, 0);
        return tracker;
    }

    void show(TrackerProcess& tracker, int place)
    {
        EXPECT_TRUE(tracker.waitForWindow());
        tracker.moveWindow(place * windowSpacing, 0);
    }

    bool waitForStatus(TrackerProcess& tracker, const std::string& status)
    {
        return waitFor([&] { return reader.status(tracker.screenshot()) == status; }, 60);
    }

    // From Standby: Editing, then a note on the cursor row after row - 1
    // steps down. Each key is sent once the cursor bar shows where the one
    // before it took the cursor: two presses of a key in one update step
    // move the cursor once, and a picture that changes for another reason
    // (a meter falling, the grid repainted a few steps late) says nothing.
    bool typeNoteAt(TrackerProcess& tracker, int row, char note)
    {
        int at = 0;
        auto barOn = [&](int wanted) {
            return waitFor([&] { return (at = cursorBarRow(tracker.screenshot())) != 0 && (!wanted || at == wanted); }, 30);
        };
        tracker.key("space", 0);
        if (!barOn(0)) return false;
        for (int down = 1; down < row; ++down) {
            tracker.key("Down", 0);
            if (!barOn(at % rowsPerPattern + 1)) return false;
        }
        // A note moves the cursor on by one row.
        tracker.type(std::string(1, note), 0);
        return barOn(at % rowsPerPattern + 1);
    }

    // The row (1 to 32) of the bar behind the cursor row, which shows while
    // editing; 0 when none shows.
    static int cursorBarRow(const Picture& shown)
    {
        constexpr uint32_t cursorBar = 0x52484A;
        constexpr int besideTheText = 300;
        for (int row = 1; row <= rowsPerPattern; ++row)
            if (shown.at(besideTheText, row * 12 + 8) == cursorBar) return row;
        return 0;
    }

    ScreenText reader;
};

} // namespace

TEST_F(TwoTrackers, EachKeepsItsUnsavedWorkAndNoStartTakesWorkATrackerHolds)
{
    ASSERT_TRUE(reader.loaded());
    auto first = start(0);
    auto second = start(1, first.get());
    ASSERT_TRUE(waitForStatus(*first, "Standby..."));
    ASSERT_TRUE(waitForStatus(*second, "Standby..."));
    ASSERT_TRUE(typeNoteAt(*first, 1, 'q'));
    ASSERT_TRUE(typeNoteAt(*second, 1, 'w'));
    // Each refresh goes to the tracker's own file.
    ASSERT_TRUE(waitFor([&] { return firstNoteOf(readFileBytes(recoveryFile(*first, 1))) == 'q'; }, 60));
    ASSERT_TRUE(waitFor([&] { return firstNoteOf(readFileBytes(recoveryFile(*first, 2))) == 'w'; }, 60));

    // The second's SAVE ends its own unsaved work, not the first's.
    ASSERT_TRUE(second->enterSongName("second"));
    second->key("F11");
    ASSERT_TRUE(waitFor([&] { return readFileBytes(recoveryFile(*first, 2)).empty(); }, 60));
    EXPECT_EQ(firstNoteOf(readFileBytes(recoveryFile(*first, 1))), 'q');
    ASSERT_TRUE(typeNoteAt(*second, 1, 'e'));  // the name field left Standby: a note on the next row
    ASSERT_TRUE(waitFor([&] { return firstNoteOf(readFileBytes(recoveryFile(*first, 2))) == 'w'; }, 60));

    // A third start, while both run, brings back neither's work.
    {
        auto third = start(2, first.get());
        ASSERT_TRUE(waitForStatus(*third, "Standby..."));
        ASSERT_TRUE(third->closeWindow());
    }
    // Once the first has ended, its work is what the next start brings back.
    ASSERT_TRUE(first->closeWindow());
    EXPECT_EQ(first->process().exitStatus(), 0);
    EXPECT_EQ(firstNoteOf(readFileBytes(recoveryFile(*first, 1))), 'q');
    first->restart();
    show(*first, 0);
    ASSERT_TRUE(waitForStatus(*first, "Unsaved song restored"));

    // The second's work is still its own after all that, and a kill keeps it.
    second->process().kill(SIGKILL);
    ASSERT_TRUE(second->process().waitExit(30));
    EXPECT_EQ(second->process().exitStatus(), -1000 - SIGKILL);
    EXPECT_EQ(firstNoteOf(readFileBytes(recoveryFile(*first, 2))), 'w');
    second->restart();
    show(*second, 1);
    ASSERT_TRUE(waitForStatus(*second, "Unsaved song restored"));
    EXPECT_TRUE(first->closeWindow());
    EXPECT_TRUE(second->closeWindow());
}

TEST_F(TwoTrackers, AWriteOfUnsavedWorkThatFailsIsSaidAndTheCloseStillEnds)
{
    ASSERT_TRUE(reader.loaded());
    // A folder in the file's place: the write fails as on a full or read-only disk.
    TrackerProcess tracker({}, [](const std::string& folder) { mkdir((folder + "/data/unsaved_song.dat").c_str(), 0755); },
                           quickRefresh);
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(waitForStatus(tracker, "Standby..."));
    ASSERT_TRUE(typeNoteAt(tracker, 1, 'q'));
    EXPECT_TRUE(waitForStatus(tracker, "Unsaved song not kept!"));
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
    EXPECT_NE(tracker.process().standardError().find("it is lost"), std::string::npos)
        << tracker.process().standardError();
}

namespace {

// One of the two trackers of the soak: its song as the test expects it.
struct SoakTracker {
    std::unique_ptr<TrackerProcess> tracker;
    std::string name;
    int place = 0;
    Song expected;
};

void expectNote(Song& song, int row, char note)
{
    int index = row - 1;
    song.patternColumns[noteColumn(1)][index] = static_cast<char32_t>(note);
    song.patternColumns[instrumentColumn(1)][index] = U'1';
    song.patternColumns[octaveColumn(1)][index] = U'2';
    if (song.patternColumns[volumeColumn(1)][index] == U'0') song.patternColumns[volumeColumn(1)][index] = U'8';
}

// Where two byte strings first differ, for the failure message.
std::string firstDifference(const std::string& got, const std::string& wanted)
{
    size_t at = 0;
    while (at < got.size() && at < wanted.size() && got[at] == wanted[at]) ++at;
    auto byteAt = [](const std::string& bytes, size_t i) {
        return i < bytes.size() ? std::to_string(static_cast<unsigned char>(bytes[i])) : std::string("end");
    };
    return "first difference at byte " + std::to_string(at) + " of " + std::to_string(wanted.size()) + ": " +
           byteAt(got, at) + " instead of " + byteAt(wanted, at);
}

int soakSeconds()
{
    const char* given = std::getenv("KOVO_SOAK_SECONDS");
    return given ? std::atoi(given) : 0;
}

} // namespace

// Two trackers take turns on one songs folder: both play at once, both have
// unsaved notes at once, one closes with unsaved work and comes back, both
// save. At the end every byte of both songs is what was typed, and nothing
// else is left in the folder.
TEST_F(TwoTrackers, TakeTurnsEditingSavingPlayingAndClosingOnOneSongsFolder)
{
    ASSERT_TRUE(reader.loaded());
    SoakTracker trackers[2];
    trackers[0].tracker = start(0);
    trackers[1].tracker = start(1, trackers[0].tracker.get());
    for (int k = 0; k < 2; ++k) {
        SoakTracker& one = trackers[k];
        one.name = k == 0 ? "soak-a" : "soak-b";
        one.place = k;
        one.expected.patternColumns = blankColumns();
        // The panel's spinners bring the shown instrument's waveform and
        // envelope into their ranges at the first step.
        one.expected.instrumentParams[slotsPerInstrument + slotWave] = 1;
        one.expected.instrumentParams[slotsPerInstrument + slotEnvelope] = 1;
        ASSERT_TRUE(waitForStatus(*one.tracker, "Standby..."));
        ASSERT_TRUE(one.tracker->enterSongName(one.name));
    }
    const std::string notes = "qwertzuiop";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(soakSeconds());
    int round = 0;
    for (; round < 2 || std::chrono::steady_clock::now() < end; ++round) {
        for (SoakTracker& one : trackers) {
            one.tracker->key("F1");
            ASSERT_TRUE(waitForStatus(*one.tracker, "Playing...")) << round;
        }
        for (SoakTracker& one : trackers) {
            one.tracker->key("F1");
            ASSERT_TRUE(waitForStatus(*one.tracker, "Standby...")) << round;
        }
        for (int k = 0; k < 2; ++k) {
            int row = 1 + (round * 3 + k * 5) % 12;
            char note = notes[(round + k * 3) % notes.size()];
            ASSERT_TRUE(typeNoteAt(*trackers[k].tracker, row, note)) << round;
            expectNote(trackers[k].expected, row, note);
        }
        // Every other round one of them is closed with its note unsaved and
        // started again while the other runs.
        if (round % 2 == 1) {
            SoakTracker& closing = trackers[(round / 2) % 2];
            ASSERT_TRUE(closing.tracker->closeWindow());
            ASSERT_EQ(closing.tracker->process().exitStatus(), 0);
            closing.tracker->restart();
            show(*closing.tracker, closing.place);
            ASSERT_TRUE(waitForStatus(*closing.tracker, "Unsaved song restored")) << round;
            ASSERT_EQ(closing.tracker->shownSongName(), closing.name);
        }
        for (SoakTracker& one : trackers) {
            const std::string bytes = encodeUtf8(songText(one.expected));
            one.tracker->key("F11");
            ASSERT_TRUE(waitFor([&] { return readFileBytes(one.tracker->songPath(one.name)) == bytes; }, 60))
                << one.name << " in round " << round << ", "
                << firstDifference(readFileBytes(one.tracker->songPath(one.name)), bytes);
        }
    }
    std::printf("%d rounds\n", round);
    for (SoakTracker& one : trackers) {
        ASSERT_TRUE(one.tracker->closeWindow());
        EXPECT_EQ(one.tracker->process().exitStatus(), 0);
        EXPECT_EQ(readFileBytes(one.tracker->songPath(one.name)), encodeUtf8(songText(one.expected))) << one.name;
    }
    const std::string folder = trackers[0].tracker->folder();
    EXPECT_EQ(filesIn(folder + "/data/songs"), (std::set<std::string> {"soak-a", "soak-b", "tmp.dat"}));
    for (const std::string& name : filesIn(folder + "/data"))
        EXPECT_FALSE(name.rfind("unsaved_song", 0) == 0 && name != "unsaved_song.lock") << name;
}

// The export job: only with a song name, only into the songs folder, and
// followed on the status row; and Ctrl+E in the tracker's update step, only
// with Control held when E went down.
#include "export/background_export.h"
#include "base/data_paths.h"
#include "host/key_translation.h"
#include "song/song_file.h"
#include "tests/app/tracker_fixture.h"
#include "tests/app/parts_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/wait.h"

#include <unistd.h>

namespace {

// An export of a song with a name of this test's own, its file removed after
// the test.
template <typename Fixture>
class ExportingSongs : public Fixture {
protected:
    void TearDown() override
    {
        if (!wavPath.empty()) std::remove(wavPath.c_str());
        Fixture::TearDown();
    }

    // The song takes the test's name; its export's path.
    void nameSong(SongIdentity& identity)
    {
        identity.songName = name;
        wavPath = narrow(resolveDataPath(songFolder + name + U".wav"));
    }

    static bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

    const String name = U"export-key-" + intText(getpid());
    std::string wavPath;
};

// The export job alone with its song: each step follows the export.
class ExportJobAlone : public ExportingSongs<PartsFixture> {
protected:
    void stepParts() override { exportJob.followExport(); }

    void startExport()
    {
        nameSong(identity);
        exportJob.startExport();
        ASSERT_TRUE(exportJob.running());
    }
};

// The whole tracker: Ctrl+E among the keys of its update step.
class ExportKey : public ExportingSongs<TrackerFixture> {
protected:
    // The E key as the window sends it with Control: no character comes.
    void pressE()
    {
        game->dispatchKey(eventKeyDown, 'E', heldModifiers);
        game->dispatchKey(eventKeyUp, 'E');
    }

    // Ctrl+E on a song with a name of this test's own.
    void startExport()
    {
        nameSong(engine->identity);
        hold(keyControl);
        pressE();
        step();
        release(keyControl);
        ASSERT_TRUE(engine->exportJob.running());
    }
};

} // namespace

TEST_F(ExportKey, NeedsControlAndASongName)
{
    pressE();
    step();
    EXPECT_EQ(engine->status.text(), U"Standby...");

    hold(keyControl);
    pressE();
    release(keyControl);
    step();
    EXPECT_EQ(engine->status.text(), U"Export Failed!");
}

TEST_F(ExportKey, RendersBesideTheSongsAndTellsHowItWent)
{
    // Held at known points, the render shows each of them on the status row
    // however fast or busy the machine is.
    const std::vector<int> holds {25, 50, 75};
    engine->exportJob.holdAt(holds);
    startExport();
    for (int hold : holds) {
        ASSERT_TRUE(waitFor([&] { return engine->exportJob.running()->heldAt() == hold; }, 60)) << hold;
        step();
        EXPECT_EQ(engine->status.text(), U"Exporting " + intText(hold) + U"%");
        engine->exportJob.running()->release();
    }
    ASSERT_TRUE(waitFor([&] { return engine->exportJob.running()->finished(); }, 120));
    step();
    // Where it went, in full: the screen shows what fits.
    EXPECT_EQ(engine->status.text(), U"Exported " + widen(wavPath));
    // The blank song: the lead-in and 32 rows of 4 ticks, silent, so no tail;
    // the data chunk comes last, after the tags.
    std::string bytes = readFileBytes(wavPath);
    size_t data = bytes.rfind("data");
    ASSERT_NE(data, std::string::npos);
    EXPECT_EQ(bytes.size() - data - 8, (4u + 32 * 4) * 960 * 4);
    EXPECT_NE(bytes.find(narrow(name)), std::string::npos) << "the title is not in the tags";
    EXPECT_FALSE(exists(wavPath + "~exporting"));

    // While playing, the outcome stays in view over the transport's status.
    pressAndStep(keyF1);
    EXPECT_EQ(engine->status.text(), U"Exported " + widen(wavPath));
}

TEST_F(ExportJobAlone, AnExportStoppedByACloseLeavesNoFile)
{
    exportJob.holdAt({50});
    startExport();
    ASSERT_TRUE(waitFor([&] { return exportJob.running()->heldAt() == 50; }, 60));
    step();
    EXPECT_EQ(status.text(), U"Exporting 50%");
    exportJob.cancel();  // never released: the close alone ends the render
    EXPECT_FALSE(exportJob.running());
    EXPECT_FALSE(exists(wavPath));
    EXPECT_FALSE(exists(wavPath + "~exporting"));
}

// A song saved as "<name>.wav" is a song, not an earlier export: Ctrl+E on
// "<name>" leaves it, whether it was there first or saved while rendering.
TEST_F(ExportJobAlone, NeverReplacesASongFile)
{
    nameSong(identity);
    ASSERT_EQ(saveSong(song, name + U".wav"), SaveOutcome::saved);
    std::string songBytes = readFileBytes(wavPath);
    exportJob.startExport();
    EXPECT_FALSE(exportJob.running());
    EXPECT_EQ(status.text(), U"Export Failed!");
    EXPECT_EQ(readFileBytes(wavPath), songBytes);

    std::remove(wavPath.c_str());
    exportJob.holdAt({50});
    startExport();
    ASSERT_TRUE(waitFor([&] { return exportJob.running()->heldAt() == 50; }, 60));
    ASSERT_EQ(saveSong(song, name + U".wav"), SaveOutcome::saved);
    songBytes = readFileBytes(wavPath);
    exportJob.running()->release();
    ASSERT_TRUE(waitFor([&] { return exportJob.running()->finished(); }, 120));
    step();
    EXPECT_EQ(status.text(), U"Export Failed!");
    EXPECT_EQ(readFileBytes(wavPath), songBytes);
    EXPECT_FALSE(exists(wavPath + "~exporting"));
}

// The export goes where SAVE would go, or nowhere: never out of the songs
// folder, and never by characters that reach the file system as others.
TEST_F(ExportJobAlone, WritesOnlyIntoTheSongsFolder)
{
    std::string base = "export-key-outside-" + std::to_string(getpid());
    std::string outside = programDirectory() + "/data/" + base + ".wav";
    std::string further = programDirectory() + "/" + base + ".wav";
    for (const String& escape : {U"../" + widen(base), U"\u012E\u012E\u012F\u012E\u012E\u012F" + widen(base)}) {
        identity.songName = escape;
        exportJob.startExport();
        EXPECT_FALSE(exportJob.running()) << narrow(escape);
        EXPECT_EQ(status.text(), U"Export Failed!");
        if (exportJob.running()) {
            ASSERT_TRUE(waitFor([&] { return exportJob.running()->finished(); }, 120));
            step();
        }
    }
    EXPECT_FALSE(exists(outside));
    EXPECT_FALSE(exists(further));
    std::remove(outside.c_str());
    std::remove(further.c_str());
}
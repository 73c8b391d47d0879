// The status row follows a Ctrl+E export while a song plays, on the screen
// as drawn with change tracking (only what changed is drawn). The render is
// held at known points, so what the row shows there does not depend on how
// fast the machine renders.
#include "tests/screen/screen_fixture.h"

#include "base/data_paths.h"
#include "export/background_export.h"
#include "host/key_translation.h"
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/wait.h"

#include <unistd.h>

namespace {

class ExportStatus : public ScreenFixture {
protected:
    void TearDown() override
    {
        std::remove(wavPath.c_str());
        ScreenFixture::TearDown();
    }

    // Frames as the main loop runs them; the picture after the last one.
    Picture frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            step();
            game->stepRender();
        }
        return picture();
    }

    std::string wavPath;
};

} // namespace

TEST_F(ExportStatus, TheStatusRowShowsHowFarTheExportIsWhilePlaying)
{
    engine->painter.trackChanges(true);
    const String name = U"x" + intText(getpid() % 10000);
    wavPath = narrow(resolveDataPath(songFolder + name + U".wav"));
    engine->identity.songName = name;
    const std::vector<int> holds {30, 60};
    engine->exportJob.holdAt(holds);
    pressAndStep(keyF1);
    hold(keyControl);
    game->dispatchKey(eventKeyDown, 'E', heldModifiers);
    game->dispatchKey(eventKeyUp, 'E');
    step();
    release(keyControl);
    ASSERT_TRUE(engine->exportJob.running());

    for (int held : holds) {
        ASSERT_TRUE(waitFor([&] { return engine->exportJob.running()->heldAt() == held; }, 60)) << held;
        EXPECT_EQ(reader.status(frames(4)), "Exporting " + std::to_string(held) + "%");
        engine->exportJob.running()->release();
    }
    ASSERT_TRUE(waitFor([&] { return engine->exportJob.running()->finished(); }, 120));
    // The whole path while it fits the bar (the test's folder is short).
    EXPECT_EQ(reader.status(frames(4)), "Exported " + wavPath);
    EXPECT_EQ(engine->transport.state(), statePlaying);
}

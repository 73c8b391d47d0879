// The song list and the key help over the tracked screen: what they cover,
// and the screen as it was once they close, also while a song plays on
// under them with the grid held still (FLW off) or following.
#include "tests/screen/screen_fixture.h"

#include "host/key_translation.h"

namespace {

class OverlayScreen : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        engine->painter.trackChanges(true);
    }

    void control(int key)
    {
        hold(keyControl);
        press(key);
        release(keyControl);
        step();
    }

    // Frames as the main loop runs them, a render then an update step.
    Picture frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            game->stepRender();
            step();
        }
        return picture();
    }
};

} // namespace

TEST_F(OverlayScreen, CoversOnlyTheGridAndThePositionListAndLeavesNoTrace)
{
    putNote(0, 3, U'y', U'2', U'F', U'1');
    Picture before = frames(4);
    control('H');
    Picture help = frames(4);
    EXPECT_EQ(textAt(help, 0, 12, 16, seen::statusText), "KEYS AND BUTTONS");
    // The first page ends with what the sound device reports.
    EXPECT_EQ(textAt(help, 0, 12 + 12 * Overlays::helpBodyLines, 21, seen::beat), "Sound output latency:");
    EXPECT_GT(differingPixels(before, help, 0, 12, 382, 387), 10000);
    // Outside it, nothing changed: the title bar, the panel, the meters, the status row.
    EXPECT_EQ(differingPixels(before, help, 0, 0, 640, 12), 0);
    EXPECT_EQ(differingPixels(before, help, 382, 0, 258, 475), 0);
    EXPECT_EQ(differingPixels(before, help, 0, 399, 640, 76), 0);
    control('O');  // from the help straight to the list
    EXPECT_EQ(textAt(frames(4), 0, 12, 9, seen::statusText), "SONG LIST");
    press(keyEscape);
    EXPECT_EQ(differingPixels(before, frames(4), 0, 0, 640, 475), 0);
}

TEST_F(OverlayScreen, ASongPlayingUnderTheListShowsItsScreenAgainOnceItCloses)
{
    putNote(0, 9, U'y', U'2', U'F', U'1');
    frames(4);  // the screen as the program starts
    for (bool follow : {false, true}) {
        if (follow) click(330, 418);  // FLW on
        pressAndStep(keyF1);
        ASSERT_EQ(engine->transport.state(), statePlaying);
        Picture before = frames(6);  // a few rows into the pattern
        int row = engine->transport.rowInPattern();
        control('O');
        frames(3);
        control('O');
        // With FLW off the grid stands as it was; following, it has moved on
        // a row or two, and only the marker's place tells.
        game->stepRender();
        Picture after = picture();
        if (!follow) {
            EXPECT_EQ(differingPixels(before, after, 0, 12, 640, 463), 0);
        } else {
            EXPECT_GT(engine->transport.rowInPattern(), row);
            EXPECT_EQ(textAt(after, 0, 12 + 12 * 9, 27, seen::text), "09  C-2F1 ---00 ---00 ---00");
            EXPECT_EQ(pixelsNotOf(after, 2, engine->transport.rowInPattern() * 12 + 2, 301, 1, seen::statusText), 0);
        }
        pressAndStep(keyF1);
    }
}

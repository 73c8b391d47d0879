// The screen with change tracking against the screen drawn in full: one
// scripted session recorded frame by frame in both ways must give the same
// picture at every frame, while the tracked screen draws far less.
#include "tests/screen/screen_fixture.h"

#include "base/settings_file.h"
#include "framework/app.h"
#include "graphics/renderer.h"
#include "host/key_translation.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Recording {
    std::vector<uint64_t> frames;  // a hash of each frame's whole picture
    long drawCalls = 0;
    int framesPresented = 0;
    int quietFramesPresented = 0;  // in the still stretch at the end
};

uint64_t pictureHash(const Picture& shown)
{
    uint64_t hash = 14695981039346656037ull;
    for (uint32_t pixel : shown.pixels) hash = (hash ^ pixel) * 1099511628211ull;
    return hash;
}

class ChangeTracking : public ScreenFixture {
protected:
    Recording record(bool tracking)
    {
        // FLW, which the script switches, is remembered: both runs start
        // from the defaults.
        std::remove(settingsFilePath().c_str());
        TearDown();
        SetUp();
        engine->painter.trackChanges(tracking);
        recording = {};
        playScript();
        return recording;
    }

    // Frames as the main loop runs them: a render, then an update step.
    void frames(int count, bool quiet = false)
    {
        for (int i = 0; i < count; ++i) {
            game->stepRender();
            recording.frames.push_back(pictureHash(shownPicture()));
            gxtkGraphics& renderer = *gameDelegate()->renderer;
            recording.drawCalls += renderer.lastFrameDrawCalls();
            recording.framesPresented += game->framePresented();
            if (quiet) recording.quietFramesPresented += game->framePresented();
            step();
        }
    }
    void key(int code, int after = 4)
    {
        press(code);
        frames(after);
    }
    void clickAt(float x, float y, int after = 4)
    {
        click(x, y);
        frames(after);
    }
    void typeNotes(const char32_t* text)
    {
        for (const char32_t* c = text; *c; ++c) {
            type(String(1, *c));
            frames(2);
        }
    }

    void playScript()
    {
        frames(10);
        editSomeNotes();
        markCopyAndPasteABlock();
        turnSpinners();
        makeASecondPattern();
        playWithFollowOff();
        playWithFollowOnAtSpeeds();
        frames(30, true);
    }

    void editSomeNotes()
    {
        key(keySpace);
        typeNotes(U"ysx9");
        key(keyDown);
        key(keyTab);
        typeNotes(U"qw3e");
        key(keyRight);
        typeNotes(U"F7");
        key(keyUp);
        key(keyLeft);
    }

    void markCopyAndPasteABlock()
    {
        key(keyShift);
        key(keyDown);
        key(keyDown);
        key(keyF9);
        key(keyTab);
        key(keyDown, 8);
        key(keyF10);
        key(keySpace);  // back to Standby
    }

    // Octave, song speed, instrument and its waveform, each by its plus and minus.
    void turnSpinners()
    {
        clickAt(497, 368);
        clickAt(481, 368);
        clickAt(585, 152);
        clickAt(585, 176);
        clickAt(569, 176);
        clickAt(569, 152);
        key(keyF5);  // muted in Standby
        key(keyF5);
    }

    // Position 1 plays pattern 1, the song is two patterns long.
    void makeASecondPattern()
    {
        key(keyPageDown);
        clickAt(409, 20);
        key(keySpace);
        typeNotes(U"zu");
        key(keySpace);
        key(keyPageUp);
        clickAt(497, 392);
    }

    void playWithFollowOff()
    {
        key(keyF1, 60);
        key(keyF6, 30);  // muted while playing
        key(keyF6, 30);
        key(keyF1, 10);
    }

    void playWithFollowOnAtSpeeds()
    {
        clickAt(330, 418);
        for (int speed = 4; speed > 1; --speed) clickAt(481, 380, 2);  // down to speed 1
        key(keyF1, 150);
        key(keyF7, 20);
        key(keyF1, 6);
        clickAt(497, 380, 2);  // speed 2
        key(keyF2, 150);
        key(keyF1, 6);
        clickAt(497, 380, 2);
        clickAt(497, 380, 2);  // speed 4
        key(keyF1, 200);
        key(keyF1, 10);
    }

    Recording recording;
};

} // namespace

TEST_F(ChangeTracking, EveryFrameIsTheSameAsWithEverythingDrawn)
{
    Recording drawn = record(false);
    Recording tracked = record(true);
    ASSERT_EQ(drawn.frames.size(), tracked.frames.size());
    int differing = 0, first = -1;
    for (size_t i = 0; i < drawn.frames.size(); ++i) {
        if (drawn.frames[i] == tracked.frames[i]) continue;
        differing += 1;
        if (first < 0) first = static_cast<int>(i);
    }
    EXPECT_EQ(differing, 0) << "first differing frame " << first << " of " << drawn.frames.size();

    // The pictures are not all alike: the script changes the screen.
    std::vector<uint64_t> distinct = drawn.frames;
    std::sort(distinct.begin(), distinct.end());
    EXPECT_GT(std::unique(distinct.begin(), distinct.end()) - distinct.begin(), 100);

    // Drawn in full, every frame draws; tracked, a still screen draws nothing
    // and nothing is copied to the window.
    EXPECT_EQ(drawn.framesPresented, static_cast<int>(drawn.frames.size()));
    EXPECT_EQ(drawn.quietFramesPresented, 30);
    EXPECT_EQ(tracked.quietFramesPresented, 0);
    EXPECT_LT(tracked.drawCalls * 2, drawn.drawCalls);
}

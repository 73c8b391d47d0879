// An export on a thread of its own while the process's audio device plays:
// neither disturbs the other, sample for sample.
#include "audio/sound.h"
#include "export/background_export.h"
#include "host/headless_game.h"
#include "player/kovo_play.h"
#include "tests/export/export_fixture.h"
#include "tests/support/loopback_audio.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/wait.h"

namespace {

class ExportBesidePlayback : public ExportTest {
protected:
    void SetUp() override
    {
        song = testSong();
        putCell(song, 1, 0, U"y812");
        putCell(song, 2, 3, U"q612");
        song.instrumentParams[8 + slotPwm] = 5;
    }

    // Plays the song on a new process device for the ticks and returns the mix.
    std::vector<float> playLive(int ticks)
    {
        LoopbackAudio loopback;
        EXPECT_TRUE(loopback.ok());
        c_kovoPlay player;
        player.play(song);
        std::vector<float> mix;
        for (int tick = 0; tick < ticks; ++tick) {
            player.tickPlayer();
            std::vector<float> part = loopback.render(LoopbackAudio::sampleRate / 50);
            mix.insert(mix.end(), part.begin(), part.end());
        }
        return mix;
    }

    BBHeadlessGame host;
    Song song;
};

} // namespace

TEST_F(ExportBesidePlayback, NeitherDisturbsTheOther)
{
    std::vector<float> alone = playLive(150);
    ASSERT_GT(rms(alone), 0.01);
    ExportSettings settings;
    settings.loops = 10;  // many times longer than the live playing below
    std::string reference = path("reference.wav");
    std::atomic<bool> never {false};
    ASSERT_EQ(exportSong(song, settings, reference, {}, never).outcome, ExportOutcome::done);

    // The same song played live again, with an export running all the while:
    // let go at 1 % as the playing starts, it waits at 99 % until the playing
    // is over, however fast either of them is.
    BackgroundExport running(song, settings, path("beside.wav"), {1, 99});
    ASSERT_TRUE(waitFor([&] { return running.heldAt() == 1; }, 60));
    running.release();
    std::vector<float> beside = playLive(150);
    EXPECT_FALSE(running.finished()) << "the export did not overlap the playing";
    ASSERT_TRUE(waitFor([&] { return running.heldAt() == 99; }, 120));
    running.release();
    ASSERT_TRUE(waitFor([&] { return running.finished(); }, 120));
    EXPECT_EQ(running.result().outcome, ExportOutcome::done) << running.result().message;
    EXPECT_TRUE(beside == alone) << "the export changed the live sound";
    EXPECT_TRUE(readFileBytes(path("beside.wav")) == readFileBytes(reference)) << "the live sound changed the export";
}

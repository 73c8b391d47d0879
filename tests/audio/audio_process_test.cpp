// The audio device in a process of its own, with and without an OpenAL
// backend that can open a device.
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_file.h"

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status;
    std::string out;
};

Outcome runProbe(const std::string& environment)
{
    TempFolder folder;
    WavLayout layout;
    layout.data = pcm16(sawCycle(64));
    std::string wav = folder.write("saw.wav", wavBytes(layout));
    ChildProcess probe({binaryDirectory() + "/audio_probe", wav}, {environment});
    EXPECT_TRUE(probe.waitExit(60));
    return {probe.exitStatus(), probe.standardOutput()};
}

} // namespace

TEST(AudioProcess, WithoutADeviceItSaysSoOnceAndCarriesOnSilently)
{
    Outcome outcome = runProbe("ALSOFT_DRIVERS=no-such-backend");
    EXPECT_EQ(outcome.status, 0);
    // Without a source nothing can start: the status stays 0 and the music -1.
    EXPECT_EQ(outcome.out,
              "OpenAl error: alcOpenDevice failed\n"
              "sound loaded\nno device\nopened: running\nstarted: running\nheld: running\ncontinued: running\n"
              "all paused: running\nall resumed: running\nstatus 0\nhalted: running\nmusic 0\ndone\n");
}

// The device rests while no source plays and wakes before one starts.
TEST(AudioProcess, WithADeviceNothingIsPrintedAndItRestsWhileNothingPlays)
{
    Outcome outcome = runProbe("ALSOFT_DRIVERS=null");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out,
              "sound loaded\ndevice\nopened: resting\nstarted: running\nheld: resting\ncontinued: running\n"
              "all paused: resting\nall resumed: running\nstatus 1\nhalted: resting\nmusic 0\ndone\n");
}

// A device writing the session to a file never rests, so the file keeps its
// header and the session's timeline.
TEST(AudioProcess, ADeviceWritingAFileNeverRestsAndItsFileStaysWhole)
{
    TempFolder folder;
    std::string config = folder.write("alsoft.conf", "[general]\ndrivers = wave\n[wave]\nfile = " +
                                                         folder.path() + "/session.wav\n");
    Outcome outcome = runProbe("ALSOFT_CONF=" + config);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.find("resting"), std::string::npos) << outcome.out;
    std::string session = readFileBytes(folder.path() + "/session.wav");
    ASSERT_GT(session.size(), 44u);
    EXPECT_EQ(session.substr(0, 4), "RIFF");
    EXPECT_EQ(session.substr(8, 4), "WAVE");
}

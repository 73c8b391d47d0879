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

Outcome runProbe(const std::string& drivers)
{
    TempFolder folder;
    WavLayout layout;
    layout.data = pcm16(sawCycle(64));
    std::string wav = folder.write("saw.wav", wavBytes(layout));
    ChildProcess probe({binaryDirectory() + "/audio_probe", wav}, {"ALSOFT_DRIVERS=" + drivers});
    EXPECT_TRUE(probe.waitExit(60));
    return {probe.exitStatus(), probe.standardOutput()};
}

} // namespace

TEST(AudioProcess, WithoutADeviceItSaysSoOnceAndCarriesOnSilently)
{
    Outcome outcome = runProbe("no-such-backend");
    EXPECT_EQ(outcome.status, 0);
    // Without a source nothing can start: the status stays 0 and the music -1.
    EXPECT_EQ(outcome.out,
              "OpenAl error: alcOpenDevice failed\n"
              "sound loaded\nno device\nstatus 0\nmusic 0\ndone\n");
}

TEST(AudioProcess, WithADeviceNothingIsPrinted)
{
    Outcome outcome = runProbe("null");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "sound loaded\ndevice\nstatus 1\nmusic 0\ndone\n");
}

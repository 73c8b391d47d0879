// The audio device in a process of its own, with and without an OpenAL
// backend that can open a device.
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

struct Outcome {
    int status;
    std::string out;
};

Outcome runProbe(const std::string& environment, const std::string& mode = "")
{
    TempFolder folder;
    WavLayout layout;
    layout.data = pcm16(sawCycle(64));
    std::string wav = folder.write("saw.wav", wavBytes(layout));
    std::vector<std::string> argv {programDirectory() + "/audio_probe", wav};
    if (!mode.empty()) argv.push_back(mode);
    ChildProcess probe(argv, {environment});
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

namespace {

struct PeriodReport {
    int period = 0;  // frames, as the device's refresh rate tells it
    std::string rest;
};

PeriodReport periodReport(std::vector<std::string> environment)
{
    environment.push_back("ALSOFT_DRIVERS=null");
    ChildProcess probe({programDirectory() + "/audio_probe", "/no/such.wav", "period"}, environment);
    EXPECT_TRUE(probe.waitExit(60));
    std::istringstream out(probe.standardOutput());
    std::string word;
    int frequency = 0, refresh = 0;
    out >> word >> frequency >> word >> refresh >> std::ws;
    PeriodReport report;
    // The rate is a whole number of periods a second; between periods of
    // whole 64 frames that tells them apart.
    for (int frames = 64; frames <= 8192 && refresh > 0 && report.period == 0; frames += 64)
        if (frequency / frames == refresh) report.period = frames;
    std::getline(out, report.rest, '\0');
    return report;
}

} // namespace

// OpenAL Soft's own default is 1024 frames; the tracker asks for 384, or
// what the settings file says, and leaves a configuration given by the user
// as it is. Its configuration is gone from the environment once the device
// is open, so that no program started later inherits it.
TEST(AudioProcess, TheDeviceMixesInShortPeriodsUnlessTheSettingsOrTheUserSayOtherwise)
{
    TempFolder home;
    std::string xdg = "XDG_CONFIG_HOME=" + home.path();
    PeriodReport report = periodReport({xdg});
    EXPECT_EQ(report.period, 384);
    EXPECT_EQ(report.rest, "ALSOFT_CONF unset\nlatency known\n");
    std::filesystem::create_directories(home.path() + "/kovo-tracker");
    home.write("kovo-tracker/settings", "audio_period=1024\n");
    EXPECT_EQ(periodReport({xdg}).period, 1024);
    home.write("kovo-tracker/settings", "audio_period=openal\n");
    EXPECT_EQ(periodReport({xdg}).period, 1024);
    std::string own = home.write("alsoft.conf", "[general]\nperiod_size = 512\n");
    home.write("kovo-tracker/settings", "audio_period=128\n");
    report = periodReport({xdg, "ALSOFT_CONF=" + own});
    EXPECT_EQ(report.period, 512);
    EXPECT_EQ(report.rest, "ALSOFT_CONF set\nlatency known\n");
}

// A device asked to linger stays awake through short silences between notes
// and rests once the silence has lasted the steps it was given.
TEST(AudioProcess, ALingeringDeviceRestsOnlyAfterItsSilentSteps)
{
    Outcome outcome = runProbe("ALSOFT_DRIVERS=null", "linger");
    EXPECT_EQ(outcome.out,
              "halted: running\ntwo steps: running\nthree steps playing: running\nthree silent steps: resting\n");
}

// The device clock that notes played along with a song are placed by: a
// device keeps one that runs on while it plays; without a device there is
// none, and asking is harmless.
TEST(AudioProcess, TheDeviceClockRunsWhileItPlaysAndIsMissingWithoutADevice)
{
    EXPECT_EQ(runProbe("ALSOFT_DRIVERS=null", "clock").out, "clock, latency known\nclock moves\n");
    EXPECT_EQ(runProbe("ALSOFT_DRIVERS=no-such-backend", "clock").out,
              "OpenAl error: alcOpenDevice failed\nno clock\n");
}

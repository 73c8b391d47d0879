// Choosing the window's magnification: the command line's choice, the settings
// file kept between runs, and what the monitor offers.
#include "base/settings_file.h"
#include "host/window_scale.h"
#include "tests/support/child_process.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Runs body in a child that the alarm ends after the seconds; its exit
// status, or -1 when it did not end by itself.
int exitOfChildWithin(unsigned seconds, const std::function<int()>& body)
{
    pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        _exit(body());
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(WindowScale, TheMonitorGivesItsContentScaleRoundedDownAndOnlyAsLargeAsFits)
{
    EXPECT_EQ(largestFittingScale(1024, 768, 640, 475), 1);
    EXPECT_EQ(largestFittingScale(1920, 1050, 640, 475), 2);  // 1425 rows would not fit
    EXPECT_EQ(largestFittingScale(3840, 2160, 640, 475), 4);  // never more than 4
    EXPECT_EQ(largestFittingScale(600, 400, 640, 475), 1);    // never less than 1

    auto fromMonitor = [](float contentScale, int largestFitting) {
        return chooseWindowScale({0, 0, contentScale, largestFitting});
    };
    EXPECT_EQ(fromMonitor(1.0f, 1), 1);
    EXPECT_EQ(fromMonitor(1.75f, 4), 1);
    EXPECT_EQ(fromMonitor(2.0f, 4), 2);
    EXPECT_EQ(fromMonitor(3.0f, 2), 2);
    EXPECT_EQ(fromMonitor(9.0f, 4), 4);
    EXPECT_EQ(fromMonitor(0.5f, 4), 1);
    EXPECT_EQ(fromMonitor(0.0f, 4), 1);
}

TEST(WindowScale, TheCommandLineWinsAndARememberedScaleIsKeptToWhatFits)
{
    EXPECT_EQ(chooseWindowScale({3, 2, 1.0f, 1}), 3);  // asked for: taken even if it does not fit
    EXPECT_EQ(chooseWindowScale({0, 3, 1.0f, 4}), 3);  // remembered, before the monitor's
    EXPECT_EQ(chooseWindowScale({0, 3, 1.0f, 2}), 2);
    EXPECT_EQ(chooseWindowScale({0, 1, 2.0f, 4}), 1);
}

TEST(SettingsFile, LivesInTheConfigFolderFromTheEnvironment)
{
    ScopedVariable home("HOME", "/home/someone");
    {
        ScopedVariable config("XDG_CONFIG_HOME", "/tmp/config");
        EXPECT_EQ(settingsFilePath(), "/tmp/config/kovo-tracker/settings");
    }
    {
        ScopedVariable config("XDG_CONFIG_HOME", "relative/config");  // relative folders are to be ignored
        EXPECT_EQ(settingsFilePath(), "/home/someone/.config/kovo-tracker/settings");
    }
    ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(settingsFilePath(), "/home/someone/.config/kovo-tracker/settings");
    ScopedVariable noHome("HOME", nullptr);
    EXPECT_EQ(settingsFilePath(), "");
    EXPECT_FALSE(writeSetting(settingsFilePath(), "scale", "2"));
}

TEST(SettingsFile, AMissingOrBrokenFileGivesNoValueAndWritingKeepsOtherLines)
{
    TempFolder folder;
    std::string path = folder.path() + "/kovo-tracker/settings";
    EXPECT_EQ(readSetting(path, "scale"), std::nullopt);

    // Made with its folder; written again, the key keeps one line.
    ASSERT_TRUE(writeSetting(path, "scale", "2"));
    ASSERT_TRUE(writeSetting(path, "scale", "3"));
    EXPECT_EQ(readFileBytes(path), "scale=3\n");

    folder.write("kovo-tracker/settings", "colour=blue\r\n\xff\x01 junk\nscales=9\nscale\n=4\n");
    EXPECT_EQ(readSetting(path, "scale"), std::nullopt);
    EXPECT_EQ(readSetting(path, "colour"), "blue");
    ASSERT_TRUE(writeSetting(path, "scale", "1"));
    EXPECT_EQ(readSetting(path, "scale"), "1");
    EXPECT_EQ(readSetting(path, "scales"), "9");
    EXPECT_EQ(readSetting(path, "colour"), "blue");
}

// Settings kept as a link into a dotfiles folder stay linked, and a write cut
// short leaves the file as it was.
TEST(SettingsFile, IsReplacedWholeThroughALink)
{
    TempFolder folder;
    std::string target = folder.write("dotfiles-kovo", "colour=blue\n");
    ASSERT_EQ(mkdir((folder.path() + "/kovo-tracker").c_str(), 0755), 0);
    std::string path = folder.path() + "/kovo-tracker/settings";
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);

    ASSERT_TRUE(writeSetting(path, "scale", "2"));
    struct stat link {};
    ASSERT_EQ(lstat(path.c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_EQ(readFileBytes(target), "colour=blue\nscale=2\n");

    EXPECT_EQ(runWithFileSizeLimit(8, [&] { return writeSetting(path, "scale", "3") ? 1 : 0; }), 0);
    EXPECT_EQ(readFileBytes(target), "colour=blue\nscale=2\n");
    EXPECT_FALSE(replacementLeftBehind(target));
}

TEST(SettingsFile, RemembersOnlyAScaleItCanUse)
{
    TempFolder folder;
    ScopedVariable config("XDG_CONFIG_HOME", folder.path().c_str());
    EXPECT_EQ(rememberedWindowScale(), 0);
    ASSERT_TRUE(rememberWindowScale(3));
    EXPECT_EQ(rememberedWindowScale(), 3);
    for (const char* text : {"scale=9\n", "scale=two\n", "scale=\n", "\x89PNG"}) {
        folder.write("kovo-tracker/settings", text);
        EXPECT_EQ(rememberedWindowScale(), 0) << text;
    }
}

// Only a small regular file is read: a FIFO or a link to an endless device
// gives the defaults at once, and a write leaves such a file alone.
TEST(SettingsFile, IsReadLikeAnyOtherSmallFile)
{
    TempFolder folder;
    std::string fifo = folder.path() + "/fifo-settings";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::string zero = folder.path() + "/zero-settings";
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
    std::string huge = folder.write("huge-settings", "scale=2\n" + std::string(1024 * 1024, '#'));
    // A child does the reading, so that a hang ends as a failed test.
    for (const std::string& path : {fifo, zero, huge}) {
        int outcome = exitOfChildWithin(10, [&] {
            return (readSetting(path, "scale") ? 1 : 0) | (writeSetting(path, "scale", "3") ? 2 : 0);
        });
        EXPECT_EQ(outcome, 0) << path;
    }
    EXPECT_EQ(readFileBytes(huge).size(), 8 + 1024 * 1024u);
}

// Two programs changing settings at once: every key either wrote is kept,
// and neither's write fails for the other's.
TEST(SettingsFile, WritesOfTwoProgramsAtOnceAreMerged)
{
    TempFolder folder;
    std::string path = folder.path() + "/kovo-tracker/settings";
    constexpr int keysEach = 150;
    auto writer = [&](const char* prefix) {
        int failures = 0;
        for (int n = 0; n < keysEach; ++n)
            failures += !writeSetting(path, prefix + std::to_string(n), std::to_string(n));
        return failures;
    };
    pid_t other = fork();
    if (other == 0) _exit(writer("b") == 0 ? 0 : 1);
    EXPECT_EQ(writer("a"), 0);
    int status = -1;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    int missing = 0;
    for (int n = 0; n < keysEach; ++n)
        for (const char* prefix : {"a", "b"}) missing += readSetting(path, prefix + std::to_string(n)) != std::to_string(n);
    EXPECT_EQ(missing, 0);
}

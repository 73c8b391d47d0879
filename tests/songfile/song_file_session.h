// The real tracker, met the way a user meets its song files: names typed into
// the song-name field, F11 and F12, the status row read off the screen.
#pragma once

#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// Runs a shell command; throws when it fails.
void shell(const std::string& command);
void writeFile(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);
// The mode of what path names, following links (0 when missing).
mode_t modeOf(const std::string& path);
// The mode of the entry itself, a link not followed.
mode_t entryModeOf(const std::string& path);
// How many entries of a folder have a "~" in their name.
int temporariesIn(const std::string& folder);

class SongFileSession : public ::testing::Test {
protected:
    // Starts the tracker (through the launcher, after prepare has set up its
    // folder) and waits until it has started up: its window is shown before
    // it takes keys.
    void start(const std::vector<std::string>& launcher, const std::function<void(const std::string&)>& prepare,
               const std::vector<std::string>& environment = {"ALSOFT_DRIVERS=null"});

    // Types the name into the song-name field, each character checked on the
    // screen (TrackerProcess::enterSongName), and ends the entry.
    void nameSong(const std::string& name);

    // Presses the key and waits for the status row to say the text. When it
    // says so already, Space changes it first, so that the answer is new.
    bool pressFor(const std::string& key, const std::string& text);

    std::string status();
    bool waitForStatus(const std::string& text);
    std::string shownName();

    std::string songs() const { return tracker->folder() + "/data/songs"; }
    std::string song(const std::string& name) const { return tracker->songPath(name); }

    std::unique_ptr<TrackerProcess> tracker;
    ScreenText reader;
};

// The places where a user keeps files, made afresh for each test: the data
// folder's songs and unsaved work, the settings ($XDG_CONFIG_HOME) and
// $XDG_DATA_HOME. The test programs' main gives every test its own, so no test
// reads or writes the files of the person running the tests, or another
// test's.
#pragma once

#include "tests/support/temp_folder.h"

#include <optional>
#include <string>

class TestUserFiles {
public:
    // Makes the folders and points this process at them: its data folder's
    // user files and the two environment variables.
    TestUserFiles();
    // Points the process back at what it used before; removes the folders.
    ~TestUserFiles();
    TestUserFiles(const TestUserFiles&) = delete;
    TestUserFiles& operator=(const TestUserFiles&) = delete;

    // Holds songs/ and unsaved_song.dat, as the data folder beside the program does.
    std::string dataFolder() const { return folder_.path() + "/data"; }
    std::string songsFolder() const { return dataFolder() + "/songs/"; }
    std::string configHome() const { return folder_.path() + "/config"; }
    std::string dataHome() const { return folder_.path() + "/share"; }

private:
    TempFolder folder_;
    std::string previousUserFiles_;
    std::optional<std::string> previousConfigHome_;
    std::optional<std::string> previousDataHome_;
};

// The running test's own user files (the program's, outside a test).
const TestUserFiles& userFiles();

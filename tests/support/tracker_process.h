// The real tracker program, started for a test in a folder of its own (a copy
// of the executable with its data folder, so songs written by one test never
// meet another's) on the test's X server, driven by real X events.
#pragma once

#include "tests/support/child_process.h"
#include "tests/support/x_window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A copy of the tracker in a fresh folder of its own, with its data folder
// (the resources and an empty songs folder), removed at the end; for tests
// that run the program as a plain child process.
class TrackerCopy {
public:
    TrackerCopy();
    ~TrackerCopy();
    TrackerCopy(const TrackerCopy&) = delete;
    TrackerCopy& operator=(const TrackerCopy&) = delete;

    const std::string& folder() const { return folder_; }
    std::string program() const { return folder_ + "/kovo-tracker"; }

private:
    std::string folder_;
};

class TrackerProcess {
public:
    // Starts the tracker with the arguments; environment entries are added to
    // its environment. Its settings live in the test's folder unless the
    // environment names another XDG_CONFIG_HOME, and so does XDG_DATA_HOME.
    //
    // Every run is checked when it is over (at restart() and at the end of
    // the test): a sanitizer's report on its standard error fails the test,
    // and so does a status other than 0 that the test did not ask for. A run
    // still going is closed as a window manager closes it (SIGTERM when it
    // has no window yet) and must end with status 0 (or by that SIGTERM).
    explicit TrackerProcess(const std::vector<std::string>& environment = {"ALSOFT_DRIVERS=null"},
                            const std::vector<std::string>& arguments = {});
    // Starts it through a launcher given with its arguments (setpriv to run as
    // another user, strace to watch its calls), once prepare has set up the
    // new folder (its data/songs is empty).
    TrackerProcess(const std::vector<std::string>& launcher, const std::function<void(const std::string&)>& prepare,
                   const std::vector<std::string>& environment = {"ALSOFT_DRIVERS=null"});
    // A second tracker in the folder of a first, as a second window of one
    // installation: the same program, songs, unsaved-work files and settings.
    // From then on each one's keys go to its own window.
    TrackerProcess(TrackerProcess& first, const std::vector<std::string>& environment = {"ALSOFT_DRIVERS=null"});
    ~TrackerProcess();
    TrackerProcess(const TrackerProcess&) = delete;
    TrackerProcess& operator=(const TrackerProcess&) = delete;

    // Starts the program again in the same folder, once the last run ended.
    void restart();

    // Waits until the window is mapped; false when it never appears.
    bool waitForWindow(double timeoutSeconds = 30);

    // Real X events through xdotool, at window coordinates.
    void key(const std::string& keys, int delayMs = 120);
    void type(const std::string& text, int delayMs = 120);
    // A key pressed while Control is held down for a moment, as a person
    // does: the program polls, and a combination over within one poll would
    // find Control already up.
    void keyWithControl(const std::string& key);
    void click(int x, int y, int button = 1);
    // The pointer to a window position, no button pressed.
    void moveMouse(int x, int y);
    // Mouse button down or up without the other half.
    void mouseDown(int x, int y);
    // Puts a song file into the songs folder and asks the program to load it
    // by its name, as a user would: name field, Return, F12.
    void loadSong(const std::string& name, const std::string& bytes);
    // Clicks the song-name field, clears it and types the name, then Return;
    // false when the field never showed it. The program takes one character
    // (or Backspace) per update step, so each one is seen in the field
    // before the next is sent: no key is lost however busy the machine is.
    bool enterSongName(const std::string& name);
    // The song name as the name field shows it.
    std::string shownSongName();
    // Keys (as for key(), or characters with typeEach) sent one at a time,
    // each once the window's picture has changed for the one before: keys
    // that change what is shown are never taken together by one update
    // step, however busy the machine is. False when one changed nothing.
    bool keyEach(const std::string& keys);
    bool typeEach(const std::string& text);
    bool clickAndSee(int x, int y);
    void mouseUp();

    // The window's picture as the X server shows it.
    Picture screenshot();
    // Asks the window to close and waits for the process to end.
    bool closeWindow(double timeoutSeconds = 30);

    ChildProcess& process() { return *process_; }
    const std::string& folder() const { return folder_; }
    std::string songPath(const std::string& name) const { return folder_ + "/data/songs/" + name; }
    unsigned long window() const { return window_; }
    WindowGeometry geometry() { return x_.geometry(window_); }
    // Moves the window to a screen position, so that two can stand side by side.
    void moveWindow(int x, int y) { x_.move(window_, x, y); }

private:
    void start();
    void finishRun();
    void xdotool(const std::vector<std::string>& args);
    bool inputChangesPicture(const std::function<void()>& send);

    std::string folder_;
    XConnection x_;
    unsigned long window_ = 0;
    std::vector<std::string> environment_;
    std::vector<std::string> launcher_;
    std::vector<std::string> arguments_;
    std::unique_ptr<ChildProcess> process_;
    bool ownsFolder_ = true;
    bool shared_ = false;  // another tracker runs in the folder: find and focus this one's window
};

#include "tests/support/tracker_process.h"

#include "tests/support/screen_text.h"
#include "tests/support/wait.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

constexpr const char* windowTitle = "Kovo Tracker v1.705";
// The name field: a blank, up to 32 characters and the caret's cell.
constexpr uint32_t songNameInk = 0x9490A4;
constexpr int songNameCells = 34;

// A link, not a copy, where the folders are on one file system: the program
// finds its data beside the path it was started by, and a link costs
// nothing where a copy of the sanitized program is 20 MB for every start.
void placeProgram(const fs::path& from, const fs::path& to)
{
    std::error_code linkFailed;
    fs::create_hard_link(from, to, linkFailed);
    if (linkFailed) fs::copy_file(from, to);
}

std::string makeFolder()
{
    ensureXvfb();
    char pattern[] = "/tmp/kovo-tracker-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    const fs::path folder = pattern;
    const fs::path bin = programDirectory();
    placeProgram(bin / "kovo-tracker", folder / "kovo-tracker");
    // Only the resources are copied: tests that run beside this one write
    // songs into the build's data folder, and a file half written or gone
    // while the copy walks it would fail the copy.
    fs::create_directories(folder / "data" / "songs");
    for (const fs::directory_entry& entry : fs::directory_iterator(bin / "data"))
        if (entry.path().extension() == ".png") fs::copy_file(entry.path(), folder / "data" / entry.path().filename());
    for (const char* resources : {"wav", "themes"})
        fs::copy(bin / "data" / resources, folder / "data" / resources, fs::copy_options::recursive);
    return folder.string();
}

// Never the settings of the person running the tests.
std::vector<std::string> withOwnSettings(const std::string& folder, const std::vector<std::string>& environment)
{
    std::vector<std::string> full {"XDG_CONFIG_HOME=" + folder + "/config", "XDG_DATA_HOME=" + folder + "/share"};
    full.insert(full.end(), environment.begin(), environment.end());
    return full;
}

// Input is paced like a person's: the program takes one character per update
// step, so each command waits a moment after the one before it.
std::string pause(int delayMs) { return std::to_string(delayMs / 1000.0); }

} // namespace

TrackerCopy::TrackerCopy() : folder_(makeFolder()) {}

TrackerCopy::~TrackerCopy() { removeTree(folder_); }

TrackerProcess::TrackerProcess(const std::vector<std::string>& environment, const std::vector<std::string>& arguments)
    : folder_(makeFolder()), environment_(withOwnSettings(folder_, environment)), arguments_(arguments)
{
    start();
}

TrackerProcess::TrackerProcess(const std::vector<std::string>& launcher,
                               const std::function<void(const std::string&)>& prepare,
                               const std::vector<std::string>& environment)
    : folder_(makeFolder()), environment_(withOwnSettings(folder_, environment)), launcher_(launcher)
{
    prepare(folder_);
    start();
}

TrackerProcess::TrackerProcess(TrackerProcess& first, const std::vector<std::string>& environment)
    : folder_(first.folder_), environment_(withOwnSettings(folder_, environment)), ownsFolder_(false), shared_(true)
{
    first.shared_ = true;
    start();
}

void TrackerProcess::start()
{
    window_ = 0;
    std::vector<std::string> argv = launcher_;
    argv.push_back(folder_ + "/kovo-tracker");
    argv.insert(argv.end(), arguments_.begin(), arguments_.end());
    process_ = std::make_unique<ChildProcess>(argv, environment_);
}

void TrackerProcess::restart()
{
    if (process_->running()) throw std::runtime_error("restart while the tracker still runs");
    finishRun();
    start();
}

TrackerProcess::~TrackerProcess()
{
    finishRun();
    if (ownsFolder_) removeTree(folder_);
}

void TrackerProcess::finishRun()
{
    if (process_->running()) {
        if (!window_) window_ = x_.findWindow(windowTitle, shared_ ? process_->pid() : 0);
        const int expected = window_ ? 0 : -1000 - SIGTERM;
        if (window_) {
            x_.requestClose(window_);
        } else {
            process_->kill(SIGTERM);
        }
        if (process_->waitExit(30)) {
            EXPECT_EQ(process_->exitStatus(), expected) << "the tracker still running at the end of the test";
        } else {
            ADD_FAILURE() << "the tracker still running at the end of the test did not close";
        }
    } else if (!process_->statusSeen()) {
        EXPECT_EQ(process_->exitStatus(), 0) << "the tracker ended with a status the test did not look at";
    }
    // Its sanitizer report, if any, fails the test now.
    process_.reset();
}

bool TrackerProcess::waitForWindow(double timeoutSeconds)
{
    bool mapped = waitFor([this] { return (window_ = x_.findWindow(windowTitle, shared_ ? process_->pid() : 0)) != 0 ||
                                       !process_->running(); },
                          timeoutSeconds) &&
                  window_ != 0;
    // Mapped is not yet listening: keys sent before the loop runs can all
    // arrive in its first poll. A painted picture says the loop takes input.
    auto painted = [this] {
        if (!process_->running()) return true;
        Picture shown = x_.grab(window_);
        return std::any_of(shown.pixels.begin(), shown.pixels.end(), [](uint32_t pixel) { return pixel != 0; });
    };
    if (mapped) waitFor(painted, timeoutSeconds);
    return mapped;
}

void TrackerProcess::xdotool(const std::vector<std::string>& args)
{
    std::vector<std::string> argv {"xdotool"};
    // Keys go to the window that has the focus: this one's, when two run.
    if (shared_) argv.insert(argv.end(), {"windowfocus", std::to_string(window_)});
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess tool(argv);
    if (!tool.waitExit(60) || tool.exitStatus() != 0)
        throw std::runtime_error("xdotool failed: " + tool.standardError());
}

void TrackerProcess::key(const std::string& keys, int delayMs)
{
    std::vector<std::string> args {"sleep", pause(delayMs), "key", "--delay", std::to_string(delayMs)};
    size_t start = 0;
    while (start < keys.size()) {
        size_t end = keys.find(' ', start);
        if (end == std::string::npos) end = keys.size();
        if (end > start) args.push_back(keys.substr(start, end - start));
        start = end + 1;
    }
    xdotool(args);
}

void TrackerProcess::type(const std::string& text, int delayMs)
{
    xdotool({"sleep", pause(delayMs), "type", "--delay", std::to_string(delayMs), text});
}

void TrackerProcess::keyWithControl(const std::string& key)
{
    xdotool({"sleep", "0.1", "keydown", "ctrl", "sleep", "0.1", "key", key, "sleep", "0.1", "keyup", "ctrl"});
}

void TrackerProcess::click(int x, int y, int button)
{
    WindowGeometry at = geometry();
    xdotool({"mousemove", std::to_string(at.x + x), std::to_string(at.y + y), "sleep", "0.1", "click",
             std::to_string(button), "sleep", "0.1"});
}

void TrackerProcess::moveMouse(int x, int y)
{
    WindowGeometry at = geometry();
    xdotool({"mousemove", std::to_string(at.x + x), std::to_string(at.y + y)});
}

void TrackerProcess::loadSong(const std::string& name, const std::string& bytes)
{
    std::FILE* file = std::fopen(songPath(name).c_str(), "wb");
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file) written = std::fclose(file) == 0 && written;
    if (!written) throw std::runtime_error("cannot write " + songPath(name));
    if (!enterSongName(name)) throw std::runtime_error("the name field never showed " + name);
    key("F12");
}

bool TrackerProcess::enterSongName(const std::string& name)
{
    click(100, 450);
    // The name field is read without the blanks at its end.
    auto shows = [this](std::string text) {
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return waitFor([&] { return shownSongName() == text; }, 30);
    };
    for (std::string shown = shownSongName(); !shown.empty(); shown.pop_back()) {
        key("BackSpace", 0);
        if (!shows(shown.substr(0, shown.size() - 1))) return false;
    }
    for (size_t typed = 1; typed <= name.size(); ++typed) {
        type(name.substr(typed - 1, 1), 0);
        if (!shows(name.substr(0, typed))) return false;
    }
    key("Return");
    return true;
}

bool TrackerProcess::keyEach(const std::string& keys)
{
    size_t start = 0;
    while (start < keys.size()) {
        size_t end = std::min(keys.find(' ', start), keys.size());
        if (end > start && !inputChangesPicture([&] { key(keys.substr(start, end - start), 0); })) return false;
        start = end + 1;
    }
    return true;
}

bool TrackerProcess::typeEach(const std::string& text)
{
    for (char c : text)
        if (!inputChangesPicture([&] { type(std::string(1, c), 0); })) return false;
    return true;
}

bool TrackerProcess::clickAndSee(int x, int y)
{
    return inputChangesPicture([&] { click(x, y); });
}

bool TrackerProcess::inputChangesPicture(const std::function<void()>& send)
{
    const Picture before = screenshot();
    send();
    return waitFor([&] { return screenshot().pixels != before.pixels; }, 30);
}

std::string TrackerProcess::shownSongName()
{
    static const ScreenText reader;
    std::string cells = reader.read(screenshot(), 0, 441, songNameCells, songNameInk);
    size_t end = cells.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : cells.substr(1, end);
}

void TrackerProcess::mouseDown(int x, int y)
{
    WindowGeometry at = geometry();
    xdotool({"mousemove", std::to_string(at.x + x), std::to_string(at.y + y), "mousedown", "1"});
}

void TrackerProcess::mouseUp() { xdotool({"mouseup", "1"}); }

Picture TrackerProcess::screenshot() { return x_.grab(window_); }

bool TrackerProcess::closeWindow(double timeoutSeconds)
{
    x_.requestClose(window_);
    return process_->waitExit(timeoutSeconds);
}

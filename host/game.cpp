#include "host/game.h"

#include "host/console.h"
#include "host/data_paths.h"
#include "host/file_loading.h"
#include "host/loop_clock.h"
#include "host/throwable.h"

#include <cerrno>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
BBGame* currentGame = nullptr;
constexpr char32_t stateFilePath[] = U"./.quorvanestate";
constexpr int maxCatchUpUpdates = 4;
} // namespace

BBGame::BBGame() { currentGame = this; }

BBGame::~BBGame()
{
    if (currentGame == this) currentGame = nullptr;
}

BBGame* BBGame::game() { return currentGame; }

void BBGame::setDelegate(BBGameDelegate* delegate) { delegate_ = delegate; }
BBGameDelegate* BBGame::delegate() { return delegate_; }
void BBGame::setKeyboardFlag(bool flag) { keyboardFlag_ = flag; }
bool BBGame::keyboardFlag() { return keyboardFlag_; }

void BBGame::setUpdateRate(int hertz)
{
    updateRate_ = hertz;
    if (hertz != 0) updatePeriod_ = 1.0 / hertz;
    nextUpdate_ = 0;
}

int BBGame::updateRate() { return updateRate_; }
bool BBGame::isStarted() { return started_; }
bool BBGame::isSuspended() { return suspended_; }
int BBGame::elapsedMillis() { return 0; }

void BBGame::readLocalDate(std::vector<int>& date)
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    const int fields[] = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                          local.tm_hour,        local.tm_min,     local.tm_sec, 0};
    for (size_t i = 0; i < date.size() && i < 7; ++i) date[i] = fields[i];
}

int BBGame::saveStateText(const String& text)
{
    std::FILE* file = openFile(stateFilePath, U"wb");
    if (!file) return -1;
    std::string bytes = encodeUtf8(text);
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return written < bytes.size() ? -2 : 0;
}

String BBGame::loadStateText()
{
    std::optional<std::vector<unsigned char>> bytes = loadWholeFile(stateFilePath, textFileLimit);
    return bytes ? decodeText(*bytes) : String();
}

String BBGame::loadTextFile(const String& path)
{
    bool readFailed = false;
    return loadCheckedTextFile(path, readFailed);
}

String BBGame::loadCheckedTextFile(const String& path, bool& readFailed)
{
    std::optional<std::vector<unsigned char>> bytes = loadWholeFile(path, textFileLimit, &readFailed);
    return bytes ? decodeText(*bytes) : String();
}

int BBGame::countJoysticks(bool) { return 0; }
bool BBGame::pollJoystick(int, float*, float*, float*, bool*) { return false; }

// The URL goes to xdg-open as its one argument, with no shell between that
// could read quotes, "$(...)" or ";" in it. Like the shell command before,
// the call waits for xdg-open, which hands the URL on and ends.
void BBGame::openUrl(const String& url)
{
    if (!narrowsExactly(url)) return;
    std::string bytes = narrow(url);
    char program[] = "xdg-open";
    char* arguments[] = {program, bytes.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0) return;
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void BBGame::setMouseVisible(bool) {}
void BBGame::setMousePosition(float, float) {}
void BBGame::setClipboardText(const String&) {}
void BBGame::requestClipboardText() {}
std::optional<ClipboardAnswer> BBGame::takeClipboardText() { return std::nullopt; }
String BBGame::keyName(int) { return String(); }
int BBGame::deviceWidth() { return 0; }
int BBGame::deviceHeight() { return 0; }
void BBGame::createWindow(int, int, int) {}
void BBGame::setWindowIcon(const ImagePixels&) {}
void BBGame::setWindowIcons(const std::vector<ImagePixels>&) {}
void BBGame::setWindowPosition(int, int) {}
void BBGame::setWindowSize(int, int) {}
void BBGame::setWindowSizeLimits(int, int, int, int) {}
void BBGame::setWindowTitle(const String&) {}
std::vector<BBDisplayMode> BBGame::displayModes() { return {}; }
std::optional<BBDisplayMode> BBGame::desktopMode() { return std::nullopt; }
void BBGame::setSwapInterval(int) {}
String BBGame::resolvePath(const String& path) { return narrowsExactly(path) ? path : String(); }

std::FILE* BBGame::openFile(const String& path, const String& mode)
{
    String real = resolvePath(path);
    if (real.empty()) return nullptr;
    return std::fopen(narrow(real).c_str(), narrow(mode).c_str());
}

std::FILE* BBGame::openForLoading(const String& path, size_t limit)
{
    String real = resolvePath(path);
    return real.empty() ? nullptr : openLoadableFile(narrow(real), limit);
}

std::optional<std::vector<unsigned char>> BBGame::loadWholeFile(const String& path, size_t limit, bool* readFailed)
{
    std::FILE* file = openForLoading(path, limit);
    if (!file) return std::nullopt;
    std::optional<std::vector<unsigned char>> bytes = readWholeFile(file, limit);
    if (readFailed) *readFailed = std::ferror(file) != 0;
    std::fclose(file);
    return bytes;
}

std::optional<std::vector<unsigned char>> BBGame::loadFileBytes(const String& path)
{
    return loadWholeFile(path, mediaFileLimit);
}

void BBGame::reportUncaught(const ThrowableObject& error) { reportUncaughtError(error); }

void BBGame::afterEvent() {}

template <typename Call>
void BBGame::dispatch(Call call)
{
    try {
        call();
    } catch (const ThrowableObject& error) {
        reportUncaught(error);
    }
    afterEvent();
}

void BBGame::startRun()
{
    if (started_) return;
    started_ = true;
    dispatch([this] { delegate_->onStart(); });
}

void BBGame::suspendRun()
{
    if (!started_ || suspended_) return;
    suspended_ = true;
    dispatch([this] { delegate_->onSuspend(); });
}

void BBGame::resumeRun()
{
    if (!started_ || !suspended_) return;
    suspended_ = false;
    dispatch([this] { delegate_->onResume(); });
}

void BBGame::stepUpdate()
{
    if (!started_ || suspended_) return;
    dispatch([this] { delegate_->onUpdate(); });
}

void BBGame::waitForDueUpdate(LoopClock& clock)
{
    if (nextUpdate_ == 0) return;
    double delay = nextUpdate_ - clock.now();
    if (delay > 0) clock.sleep(delay);
}

void BBGame::runDueUpdates(LoopClock& clock)
{
    if (updateRate_ == 0) return stepUpdate();
    if (nextUpdate_ == 0) nextUpdate_ = clock.now();
    for (int step = 0; step < maxCatchUpUpdates; ++step) {
        stepUpdate();
        if (nextUpdate_ == 0) return;  // the update changed the rate
        nextUpdate_ += updatePeriod_;
        if (nextUpdate_ > clock.now()) return;
    }
    nextUpdate_ = 0;
}

bool BBGame::takePictureRefresh()
{
    bool due = pictureRefreshDue_;
    pictureRefreshDue_ = false;
    return due;
}

void BBGame::stepRender()
{
    if (!started_) return;
    framePresented_ = true;  // a delegate that does not say otherwise has drawn
    dispatch([this] { delegate_->onRender(); });
}

void BBGame::dispatchKey(int event, int data, int modifiers)
{
    if (!started_) return;
    dispatch([&] { delegate_->onKey(event, data, modifiers); });
}

void BBGame::dispatchMouse(int event, int data, float x, float y, float z)
{
    if (!started_) return;
    dispatch([&] { delegate_->onMouse(event, data, x, y, z); });
}

void BBGame::dispatchTouch(int event, int data, float x, float y)
{
    if (!started_) return;
    dispatch([&] { delegate_->onTouch(event, data, x, y); });
}

void BBGame::dispatchMotion(int event, int data, float x, float y, float z)
{
    if (!started_) return;
    dispatch([&] { delegate_->onMotion(event, data, x, y, z); });
}

void BBGame::dropGraphics()
{
    if (!started_) return;
    dispatch([this] { delegate_->onDiscardGraphics(); });
}

void BBGame::dispatchInputArrived()
{
    if (!started_ || suspended_) return;
    dispatch([this] { delegate_->onInputArrived(); });
}

void BBGame::readFramebufferSize(int& width, int& height)
{
    width = deviceWidth();
    height = deviceHeight();
}

int BBGame::windowScale() { return 1; }
void BBGame::setWindowScale(int) {}

String loadText(const String& path)
{
    BBGame* game = BBGame::game();
    return game ? game->loadTextFile(fixDataPath(path)) : String();
}

String loadText(const String& path, bool& readFailed)
{
    BBGame* game = BBGame::game();
    readFailed = false;
    return game ? game->loadCheckedTextFile(fixDataPath(path), readFailed) : String();
}

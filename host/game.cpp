#include "host/game.h"

#include "host/console.h"
#include "host/loop_clock.h"
#include "host/throwable.h"

namespace {
BBGame* currentGame = nullptr;
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

void BBGame::setUpdateRate(int hertz)
{
    updateRate_ = hertz;
    if (hertz != 0) updatePeriod_ = 1.0 / hertz;
    nextUpdate_ = 0;
}

int BBGame::countJoysticks(bool) { return 0; }
bool BBGame::pollJoystick(int, float*, float*, float*, bool*) { return false; }

void BBGame::setClipboardText(const String&) {}
void BBGame::requestClipboardText() {}
std::optional<ClipboardAnswer> BBGame::takeClipboardText() { return std::nullopt; }
String BBGame::keyName(int) { return String(); }
int BBGame::deviceWidth() { return 0; }
int BBGame::deviceHeight() { return 0; }
void BBGame::createWindow(int, int, int) {}
void BBGame::setWindowIcons(const std::vector<ImagePixels>&) {}
std::vector<BBDisplayMode> BBGame::displayModes() { return {}; }
std::optional<BBDisplayMode> BBGame::desktopMode() { return std::nullopt; }

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

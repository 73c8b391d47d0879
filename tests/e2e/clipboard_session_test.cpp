// Pattern text through the real X clipboard: another program (xclip) offers
// it, Ctrl+V pastes it into the running tracker, and what Ctrl+Shift+C copies
// back is what xclip then reads: the same text.
#include "tests/support/child_process.h"
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <X11/Xlib.h>
#include <gtest/gtest.h>

namespace {

std::string clipboardText()
{
    ChildProcess reader({"xclip", "-selection", "clipboard", "-o"});
    return reader.waitExit(20) ? reader.standardOutput() : std::string();
}

// A clipboard owner that never answers: a hung clipboard tool.
class SilentOwner {
public:
    SilentOwner() : display(XOpenDisplay(nullptr))
    {
        if (!display) return;
        Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False), window, CurrentTime);
        XSync(display, False);
    }
    ~SilentOwner()
    {
        if (display) XCloseDisplay(display);
    }
    SilentOwner(const SilentOwner&) = delete;
    SilentOwner& operator=(const SilentOwner&) = delete;

    Display* const display;
};

bool waitForStatus(TrackerProcess& tracker, const std::string& text)
{
    const ScreenText reader;
    return waitFor([&] { return reader.status(tracker.screenshot()) == text; }, 60);
}

} // namespace

TEST(ClipboardSession, PatternTextComesInFromAndGoesOutToTheXClipboard)
{
    TrackerProcess tracker;
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(tracker.keyEach("space"));  // Editing

    const std::string text = "ModPlug Tracker  XM\n"
                             "|C-501v64...|E-502v34...|...........|...........\n"
                             "|===01v34...|G-503v21...|...........|...........\n"
                             // a legato note: the tone portamento goes out again as it came in
                             "|E-603...3FF|...........|...........|...........\n";
    ChildProcess offer({"xclip", "-quiet", "-selection", "clipboard", "-i"}, {}, text);
    ASSERT_TRUE(waitFor([&] { return clipboardText() == text; }, 20));

    ASSERT_TRUE(tracker.keyEach("ctrl+v"));
    ASSERT_TRUE(tracker.keyEach("shift"));  // mark the three pasted rows
    ASSERT_TRUE(tracker.keyEach("Down"));
    ASSERT_TRUE(tracker.keyEach("Down"));
    ASSERT_TRUE(tracker.keyEach("ctrl+shift+c"));
    // The tracker owns the clipboard now: xclip has let it go.
    ASSERT_TRUE(offer.waitExit(20));
    EXPECT_TRUE(waitFor([&] { return clipboardText() == text; }, 20)) << clipboardText();
    ASSERT_TRUE(tracker.closeWindow());
}

// Ctrl+V while the owner never answers: the tracker gives up, says so and
// goes on; it still closes as a window manager closes it.
TEST(ClipboardSession, AnOwnerThatNeverAnswersCostsNothingButAMessage)
{
    TrackerProcess tracker;
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(tracker.keyEach("space"));
    SilentOwner owner;
    ASSERT_NE(owner.display, nullptr);
    ASSERT_TRUE(tracker.keyEach("ctrl+v"));
    EXPECT_TRUE(waitForStatus(tracker, "No Clipboard Answer!"));
    ASSERT_TRUE(tracker.keyEach("space"));
    EXPECT_TRUE(waitForStatus(tracker, "Standby..."));

    // Closed while it still waits for the owner, it ends as always.
    ASSERT_TRUE(tracker.keyEach("space"));
    tracker.key("ctrl+v", 0);
    ASSERT_TRUE(tracker.closeWindow());
}

// Far more text than any paste could use (xclip sends it in chunks): read no
// further than the limit, and say so.
TEST(ClipboardSession, TextOverTheLimitIsRefusedWithAMessage)
{
    TrackerProcess tracker;
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(tracker.keyEach("space"));
    const std::string text = "ModPlug Tracker  XM\n" + std::string(2 * 1024 * 1024, '|') + "\n";
    ChildProcess offer({"xclip", "-quiet", "-selection", "clipboard", "-i"}, {}, text);
    ASSERT_TRUE(waitFor([&] { return clipboardText().size() == text.size(); }, 30));
    ASSERT_TRUE(tracker.keyEach("ctrl+v"));
    EXPECT_TRUE(waitForStatus(tracker, "Clipboard Too Large!"));
    ASSERT_TRUE(tracker.closeWindow());
}

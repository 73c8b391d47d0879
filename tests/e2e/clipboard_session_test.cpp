// Pattern text through the real X clipboard: another program (xclip) offers
// it, Ctrl+V pastes it into the running tracker, and what Ctrl+Shift+C copies
// back is what xclip then reads: the same text.
#include "tests/support/child_process.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

namespace {

std::string clipboardText()
{
    ChildProcess reader({"xclip", "-selection", "clipboard", "-o"});
    return reader.waitExit(20) ? reader.standardOutput() : std::string();
}

} // namespace

TEST(ClipboardSession, PatternTextComesInFromAndGoesOutToTheXClipboard)
{
    TrackerProcess tracker;
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(tracker.keyEach("space"));  // Editing

    const std::string text = "ModPlug Tracker  XM\n"
                             "|C-501v64...|E-502v34...|...........|...........\n"
                             "|===01v34...|G-503v21...|...........|...........\n";
    ChildProcess offer({"xclip", "-quiet", "-selection", "clipboard", "-i"}, {}, text);
    ASSERT_TRUE(waitFor([&] { return clipboardText() == text; }, 20));

    ASSERT_TRUE(tracker.keyEach("ctrl+v"));
    ASSERT_TRUE(tracker.keyEach("shift"));  // mark the two pasted rows
    ASSERT_TRUE(tracker.keyEach("Down"));
    ASSERT_TRUE(tracker.keyEach("ctrl+shift+c"));
    // The tracker owns the clipboard now: xclip has let it go.
    ASSERT_TRUE(offer.waitExit(20));
    EXPECT_TRUE(waitFor([&] { return clipboardText() == text; }, 20)) << clipboardText();
    ASSERT_TRUE(tracker.closeWindow());
}

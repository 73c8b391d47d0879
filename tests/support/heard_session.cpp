#include "tests/support/heard_session.h"

#include "tests/support/wait.h"

SoundCapture HeardSession::capture;

void HeardSession::SetUp()
{
    ASSERT_TRUE(reader.loaded());
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(waitForStatus("Standby..."));
}

bool HeardSession::hoverUntilStatus(int x, int y, const std::string& text)
{
    int step = 0;
    return waitFor([&] {
        tracker.moveMouse(x + step++ % 2, y);
        return reader.status(tracker.screenshot()) == text;
    }, 30);
}

bool HeardSession::waitForStatus(const std::string& text)
{
    return waitFor([&] { return reader.status(tracker.screenshot()) == text; }, 30);
}

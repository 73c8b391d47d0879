// Which message the status row shows while the song plays: an outcome over
// the running word for a while, then the running word again.
#include "app/screen/status_row.h"
#include "app/screen/status_texts.h"

#include <gtest/gtest.h>

namespace {
// Steps while playing until the row shows the word, at most a limit.
int stepsUntilShown(StatusRow& row, const String& running, const String& word, int limit = 1000)
{
    int steps = 0;
    while (!row.shows(word) && steps < limit) {
        row.keepRunning(running);
        ++steps;
    }
    return steps;
}
} // namespace

TEST(StatusRow, AnOutcomeStaysOverTheRunningWordForItsHoldThenGivesWay)
{
    StatusRow row;
    row.sayRunning(statusRecording);
    row.keepRunning(statusRecording);
    EXPECT_EQ(row.text(), statusRecording);

    row.say(statusFileSaved);
    EXPECT_EQ(stepsUntilShown(row, statusRecording, statusRecording), outcomeHoldSteps);

    // A new outcome while one is held is held as long again.
    row.say(statusSavingFailed);
    for (int step = 0; step < outcomeHoldSteps / 2; ++step) row.keepRunning(statusRecording);
    row.say(statusEnterName);
    EXPECT_EQ(stepsUntilShown(row, statusRecording, statusRecording), outcomeHoldSteps);
}

TEST(StatusRow, ARunningWordThatChangesShowsAtOnceUnlessAnOutcomeIsHeld)
{
    StatusRow row;
    row.sayRunning(statusPlaying);
    row.keepRunning(statusRecording);
    EXPECT_EQ(row.text(), statusRecording);

    row.say(statusFileLoaded);
    row.keepRunning(statusPlaying);
    EXPECT_EQ(row.text(), statusFileLoaded);
    // Said outright (a loop, live editing switched), it takes the row.
    row.sayRunning(U"Loop pattern 00");
    EXPECT_EQ(row.text(), U"Loop pattern 00");
    row.keepRunning(U"Loop pattern 00");
    EXPECT_EQ(row.text(), U"Loop pattern 00");
}

// Not playing, nothing steps the row: a state's word and an outcome simply
// replace each other.
TEST(StatusRow, WhileStoppedTheLastMessageSaidStays)
{
    StatusRow row;
    EXPECT_TRUE(row.text().empty());
    row.say(statusEditing);
    row.say(statusNoPatternText);
    EXPECT_TRUE(row.shows(statusNoPatternText));
    row.say(statusStandby);
    EXPECT_EQ(row.text(), statusStandby);
}

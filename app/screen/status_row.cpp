#include "app/screen/status_row.h"

#include "app/screen/status_texts.h"

void StatusRow::sayRunning(const String& word)
{
    running_ = word;
    text_ = word;
    heldOutcome_.clear();
}

void StatusRow::keepRunning(const String& word)
{
    if (text_ != running_ && text_ != heldOutcome_) {
        heldOutcome_ = text_;
        heldSteps_ = 0;
    }
    bool holding = !heldOutcome_.empty() && text_ == heldOutcome_ && ++heldSteps_ < outcomeHoldSteps;
    if (!holding && (text_ != running_ || word != running_)) sayRunning(word);
}

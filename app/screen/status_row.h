// The status row: the line that says what the tracker is doing and what
// just happened. Parts say their message here and the row decides what
// shows: while the song plays, an outcome (a save, a load, a refused paste,
// an export) wins over the running word ("Playing...", "Recording...", a
// loop) for a while, a new outcome for as long again; then the running word
// returns. A change of the running word shows at once.
#pragma once

#include "base/text.h"

class StatusRow {
public:
    // An outcome, or a state's word while not playing: shown from now on.
    void say(const String& message) { text_ = message; }
    // The running word, shown at once: playback started, live or a loop
    // switched.
    void sayRunning(const String& word);
    // One update step while playing, with the running word as it stands.
    void keepRunning(const String& word);

    const String& text() const { return text_; }
    bool shows(const String& message) const { return text_ == message; }

private:
    String text_;
    // The running word last shown, and an outcome said over it since, with
    // the steps it has been in view.
    String running_;
    String heldOutcome_;
    int heldSteps_ = 0;
};

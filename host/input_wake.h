// How input that arrives on a thread of its own (MIDI notes) wakes the host's
// loop from its wait for the next step, so that the application hears of it
// at once. The windowed loop installs its wake while it runs; outside that
// loop a wake does nothing.
#pragma once

// Null: a wake does nothing.
void setInputWake(void (*wake)());
// Any thread: wakes the loop, if one waits.
void wakeForInput();

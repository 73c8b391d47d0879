// The windowing library's life in the process: started before the host
// object exists, ended once when the program ends.
#pragma once

// Starts it, with its errors written to standard output as they happen;
// false when there is no display to start on.
bool startWindowSystem();
// Closes every window and lets the display go.
void endWindowSystem();

// STUB: the drawing state (to be completed).
#pragma once

class gxtkGraphics;

extern gxtkGraphics* hostRenderer;
extern gxtkGraphics* currentRenderer;

// Creates the one drawing state; called once when the framework starts.
void createDrawState();
// Window size as the drawing layer sees it, refreshed before each render step.
void refreshDisplaySize(int width, int height);
void resetDrawState();

#include "graphics/graphics_context.h"

gxtkGraphics* hostRenderer = nullptr;
gxtkGraphics* currentRenderer = nullptr;

void createDrawState() {}
void refreshDisplaySize(int, int) {}
void resetDrawState() { currentRenderer = hostRenderer; }

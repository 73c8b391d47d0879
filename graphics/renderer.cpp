#include "graphics/renderer.h"

gxtkGraphics::gxtkGraphics() {}
int gxtkGraphics::beginFrame() { return 1; }
void gxtkGraphics::endFrame() {}
void gxtkGraphics::discardResources() {}

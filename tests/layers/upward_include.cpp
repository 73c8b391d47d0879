// A host file that reaches up to graphics: it must not compile with the host
// library's include path.
#include "host/game.h"
#include "graphics/renderer.h"

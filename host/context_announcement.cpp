#include "host/context_announcement.h"

namespace {
// Constant-initialised, so a listener installed while other files are being
// initialised is never overwritten.
ContextListener contextListener = nullptr;
} // namespace

void listenForNewContexts(ContextListener listener) { contextListener = listener; }

void announceNewContext()
{
    if (contextListener) contextListener();
}

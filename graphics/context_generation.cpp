#include "graphics/context_generation.h"

#include "host/context_announcement.h"

int contextGeneration = 0;

namespace {

// Installed as the program starts: every file that reads the counter links
// this one, so no window can be made before the count is listening.
struct ContextCounter {
    ContextCounter()
    {
        listenForNewContexts([] { ++contextGeneration; });
    }
};
[[maybe_unused]] const ContextCounter counter;

} // namespace

#include "host/rasterizer_threads.h"

#include <cstdlib>

namespace {
constexpr char threadsVariable[] = "LP_NUM_THREADS";
} // namespace

RasterizerThreadChoice::RasterizerThreadChoice()
{
    if (std::getenv(threadsVariable)) return;
    chosen_ = setenv(threadsVariable, "0", 0) == 0;
}

RasterizerThreadChoice::~RasterizerThreadChoice()
{
    if (chosen_) unsetenv(threadsVariable);
}

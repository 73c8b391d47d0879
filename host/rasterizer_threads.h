// How many threads Mesa's software rasterizer draws with. The tracker's
// picture is small and mostly changes a few hundred pixels a frame: handing
// that to rasterizer threads costs more in waking them (and the loop waiting
// for them) than it saves, so where the user has not chosen a number the
// drawing stays on the thread that asks for it.
#pragma once

// While it lives, LP_NUM_THREADS asks for no rasterizer threads, unless the
// user's environment names a number already; it goes again afterwards, so
// that no program started later inherits the choice.
class RasterizerThreadChoice {
public:
    RasterizerThreadChoice();
    ~RasterizerThreadChoice();
    RasterizerThreadChoice(const RasterizerThreadChoice&) = delete;
    RasterizerThreadChoice& operator=(const RasterizerThreadChoice&) = delete;

private:
    bool chosen_ = false;
};

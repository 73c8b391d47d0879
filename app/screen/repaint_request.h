// When the whole screen is painted again: every third update step (the
// meters are painted every frame), and at once when a part asks, as an
// overlay that opens or closes does.
#pragma once

class RepaintRequest {
public:
    // The update step counts towards the next whole repaint.
    void stepTaken() { ++steps_; }
    // The next frame paints everything.
    void requestRepaint()
    {
        if (steps_ < stepsPerRepaint) steps_ = stepsPerRepaint;
    }
    bool due() const { return steps_ >= stepsPerRepaint; }
    // The frame painted everything (or a test wants a frame that does not):
    // the count starts again.
    void restart() { steps_ = 0; }

    // Update steps between whole repaints.
    static constexpr int stepsPerRepaint = 3;

private:
    int steps_ = 0;
};

#include "player/row_timeline.h"

void RowTimeline::record(const RowStart& start)
{
    starts_[next_] = start;
    next_ = (next_ + 1) % capacity;
    if (count_ < capacity) ++count_;
}

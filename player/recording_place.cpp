#include "player/recording_place.h"

namespace {

// The newest row that began at or before the moment; -1 when all began later.
long rowStartedBy(const RowTimeline& timeline, int64_t moment)
{
    long i = static_cast<long>(timeline.size()) - 1;
    while (i >= 0 && timeline[static_cast<size_t>(i)].clock > moment) --i;
    return i;
}

} // namespace

PlayPlace rowHeardAt(const RowTimeline& timeline, int64_t keyClock, int64_t latency, int64_t newestRowLength,
                     PlayPlace upcoming)
{
    if (timeline.empty()) return upcoming;
    int64_t heard = keyClock - latency;
    long found = rowStartedBy(timeline, heard);
    if (found < 0) return timeline[0].place;
    auto index = static_cast<size_t>(found);
    bool newest = index + 1 == timeline.size();
    int64_t start = timeline[index].clock;
    int64_t length = newest ? newestRowLength : timeline[index + 1].clock - start;
    // Halfway and later belongs to the next row.
    if ((heard - start) * 2 < length) return timeline[index].place;
    return newest ? upcoming : timeline[index + 1].place;
}

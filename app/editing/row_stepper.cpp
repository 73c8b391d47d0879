#include "app/editing/row_stepper.h"

#include "player/kovo_play.h"

RowStepper::RowStepper() = default;
RowStepper::~RowStepper() = default;

bool RowStepper::playRow(const Song& song, PlayPlace place, const std::array<float, channelCount>& levels)
{
    if (!player) player = std::make_unique<c_kovoPlay>();
    player->follow(song);
    player->useChannelLevels(levels);
    sounding = player->playOneRow(place);
    return sounding;
}

void RowStepper::tick(const std::array<float, channelCount>& levels)
{
    if (!sounding) return;
    player->useChannelLevels(levels);
    player->tickVoices();
}

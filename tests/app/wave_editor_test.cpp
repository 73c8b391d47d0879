// The waveform editor's slots and undo steps, without a window: a stock wave
// takes the first free own slot, a full song says so and changes nothing.
#include "app/screen/status_texts.h"
#include "tests/app/parts_fixture.h"

#include "song/wave_shapes.h"

namespace {

class WaveEditing : public PartsFixture {
protected:
    void SetUp() override
    {
        PartsFixture::SetUp();
        overlays.toggleWaveEditor();
    }
    void stepParts() override { overlays.overlayInput(input, 0); }
    int& wave() { return song.instrumentParams[cursor.instrument * slotsPerInstrument + slotWave]; }
};

} // namespace

TEST_F(WaveEditing, AStockWaveIsEditedAsACopyInTheFirstFreeSlotAndUndoneWhole)
{
    wave() = 4;
    song.ownWaves[0] = shapedWave(WaveShape::saw);
    pressAndStep(keyF1);
    EXPECT_EQ(wave(), 9);
    EXPECT_EQ(song.ownWaves[1], shapedWave(WaveShape::sine));
    EXPECT_EQ(song.ownWaves[0], shapedWave(WaveShape::saw)) << "a used slot is left alone";
    EXPECT_TRUE(unsaved.songChanged());
    // An own wave is edited where it is.
    pressAndStep(keyF2);
    EXPECT_EQ(wave(), 9);
    EXPECT_EQ(song.ownWaves[1], shapedWave(WaveShape::square));

    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.ownWaves[1], shapedWave(WaveShape::sine));
    undo.restoreUndoSnapshot();
    EXPECT_EQ(wave(), 4);
    EXPECT_FALSE(song.ownWaves[1]);
    undo.redoUndoSnapshot();
    EXPECT_EQ(wave(), 9);
    EXPECT_EQ(song.ownWaves[1], shapedWave(WaveShape::sine));
}

TEST_F(WaveEditing, WithEverySlotUsedAStockWaveStaysAndTheStatusSaysWhy)
{
    for (auto& slot : song.ownWaves) slot = shapedWave(WaveShape::noise);
    OwnWaves before = song.ownWaves;
    wave() = 1;
    pressAndStep(keyF1);
    EXPECT_EQ(wave(), 1);
    EXPECT_EQ(song.ownWaves, before);
    EXPECT_EQ(status.text(), statusNoWaveSlot);
    EXPECT_FALSE(unsaved.songChanged());
}

// The song list's reading of the songs folder, as the update step meets it:
// a slow reading never holds up a step, not even when the list is closed and
// opened again, and a reading that fails leaves an empty list.
#include "tests/app/parts_fixture.h"

#include "tests/support/wait.h"

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

// A songs folder on a disk that answers when the test says so.
class SlowDisk {
public:
    // The first reading waits for release(); later ones answer at once.
    std::vector<SongEntry> read()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (readings_++ == 0) released_.wait(lock, [this] { return free_; });
        SongEntry entry;
        entry.name = U"answered";
        entry.foldedName = entry.name;
        return {entry};
    }

    void release()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        free_ = true;
        released_.notify_all();
    }

    bool released()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return free_;
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
    int readings_ = 0;
    bool free_ = false;
};

// The overlays with the parts they reach: each step is the overlay's input.
class SongListScan : public PartsFixture {
protected:
    void stepParts() override { overlays.overlayInput(input, 0); }

    bool listReady()
    {
        step();
        return overlays.songs().ready();
    }
};

} // namespace

TEST_F(SongListScan, ClosingAndReopeningDuringASlowReadingNeverWaitsForIt)
{
    auto disk = std::make_shared<SlowDisk>();
    overlays.scanSongsWith([disk](const std::string&, const std::string&, const std::atomic<bool>*) { return disk->read(); });
    // Only if the window waits for the first reading: free it after a while,
    // so that the test fails instead of hanging.
    std::thread rescue([disk] {
        waitFor([&] { return disk->released(); }, 20);
        disk->release();
    });
    overlays.toggleSongList();
    EXPECT_FALSE(overlays.songs().ready());
    overlays.closeOverlay();
    overlays.toggleSongList();
    EXPECT_FALSE(disk->released()) << "the window waited for the first reading";
    EXPECT_TRUE(waitFor([&] { return listReady(); }, 60));
    EXPECT_EQ(overlays.songs().totalCount(), 1);
    if (overlays.songs().totalCount() == 1) {
        EXPECT_EQ(overlays.songs().shownEntry(0).name, U"answered");
    }
    disk->release();
    rescue.join();
}

TEST_F(SongListScan, AReadingThatFailsLeavesAnEmptyListAndTheProgramGoesOn)
{
    overlays.scanSongsWith([](const std::string&, const std::string&, const std::atomic<bool>*) -> std::vector<SongEntry> {
        throw std::runtime_error("the disk went away");
    });
    overlays.toggleSongList();
    ASSERT_TRUE(waitFor([&] { return listReady(); }, 60));
    EXPECT_EQ(overlays.songs().totalCount(), 0);
    EXPECT_EQ(overlays.which(), Overlay::songList);
    overlays.closeOverlay();
    step();
    EXPECT_EQ(overlays.which(), Overlay::none);
}

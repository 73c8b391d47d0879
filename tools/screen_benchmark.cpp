// Measures what the tracker's screen and song file cost: draw calls and time
// of a full repaint, of a meter-only frame and of one with the channel
// scopes, and the time of a song save and load. It runs the real application
// object in this process, on the X display in $DISPLAY (tools/benchmark.sh
// provides one), with silent audio.
#include "app/sound_engine.h"
#include "base/data_paths.h"
#include "framework/app.h"
#include "graphics/renderer.h"
#include "host/glfw_game.h"
#include "player/kovo_play.h"
#include "song/song_file.h"

#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int framesPerKind = 300;
constexpr int warmUpFrames = 20;
constexpr int songRounds = 20;
constexpr int followRounds = 2000;
constexpr char32_t benchmarkSongName[] = U"kovo_benchmark.dat";

using Clock = std::chrono::steady_clock;

// Average milliseconds of one call over a number of rounds.
double averageMs(int rounds, const std::function<void()>& call)
{
    Clock::time_point start = Clock::now();
    for (int i = 0; i < rounds; ++i) call();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
}

// A song that fills every position the file format allows, every cell a note,
// so that the screen draws no blank cell and the file is at its largest.
void fillBusySong(c_SoundEngine& engine)
{
    constexpr char32_t keys[] = U"ysxdcvgbhnjmq2w3er5t6z7ui9o0p<+#";
    constexpr int keyCount = static_cast<int>(std::size(keys)) - 1;
    for (int i = 0; i < columnLength; ++i) {
        for (int channel = 0; channel < channelCount; ++channel) {
            engine.song.patternColumns[channel][i] = keys[(i + channel * 5) % keyCount];
            engine.song.patternColumns[4 + channel][i] = U"0123456789ABCDEF"[(i + channel) % 16];
            engine.song.patternColumns[8 + channel][i] = U"123456789ABCDEF"[(i / 32 + channel) % 15];
            engine.song.patternColumns[12 + channel][i] = U'0' + (i + channel) % 4;
        }
    }
    for (int p = 0; p < maxSongPositions; ++p) engine.song.positions[p] = p;
    engine.song.songLengthRows = maxSongPositions * rowsPerPattern;
    for (int n = 1; n < descriptionCount; ++n) engine.song.instrumentDescriptions[n] = U"Instrument description";
}

struct FrameCost {
    int drawCalls = 0;
    double renderMs = 0;  // render step, waited for until GL has drawn it
    double frameMs = 0;   // the same shown in the window, as the main loop does it
};

// One render step with or without a full repaint, then a one-pixel read so
// that the time includes the drawing itself, not just handing it to GL.
void renderFrame(BBQuorvaneGame& game, c_SoundEngine& engine, bool fullRepaint, bool swap)
{
    if (fullRepaint) engine.repaints.requestRepaint();
    else engine.repaints.restart();
    game.stepRender();
    if (swap) game.showFrame();
    std::vector<int> pixel(1);
    gameDelegate()->renderer->grabScreenPixels(pixel, 0, 0, 1, 1, 0, 1);
}

FrameCost measureFrames(BBQuorvaneGame& game, c_SoundEngine& engine, bool fullRepaint)
{
    for (int i = 0; i < warmUpFrames; ++i) renderFrame(game, engine, fullRepaint, true);
    FrameCost cost;
    cost.drawCalls = gameDelegate()->renderer->lastFrameDrawCalls();
    cost.renderMs = averageMs(framesPerKind, [&] { renderFrame(game, engine, fullRepaint, false); });
    cost.frameMs = averageMs(framesPerKind, [&] { renderFrame(game, engine, fullRepaint, true); });
    return cost;
}

void printFrameCost(const char* kind, const FrameCost& cost)
{
    std::printf("%-17s %3d draw calls  %7.3f ms render  %7.3f ms shown in the window\n", kind, cost.drawCalls,
                cost.renderMs, cost.frameMs);
}

// Saves and loads the busy song through the songs folder, then removes the file.
void measureSongFile(c_SoundEngine& engine)
{
    double saveMs = averageMs(songRounds, [&] {
        if (saveSong(engine.song, benchmarkSongName) != SaveOutcome::saved) std::printf("the save failed\n");
    });
    // The song F1 hands to the player is not synced to the disk.
    double handOverMs = averageMs(songRounds, [&] { saveSong(engine.song, benchmarkSongName, Durability::cached); });
    engine.identity.songName = benchmarkSongName;
    double loadMs = averageMs(songRounds, [&] {
        if (engine.files.loadSongFile() != U"File Loaded...") std::printf("the load failed\n");
    });
    std::string path = narrow(resolveDataPath(String(songFolder) + benchmarkSongName));
    long bytes = 0;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fseek(file, 0, SEEK_END);
        bytes = std::ftell(file);
        std::fclose(file);
    }
    std::remove(path.c_str());
    std::printf("song file         %d positions, %ld bytes  %7.3f ms save  %7.3f ms load (average of %d)\n",
                maxSongPositions, bytes, saveMs, loadMs, songRounds);
    std::printf("song for playback %7.3f ms save without sync\n", handOverMs);
}

// What live editing adds to a playing step: after an edited cell (the first
// change to a column the player shares copies it) the player takes the
// editor's song; beside it, what a tick of the player costs.
void measureLiveFollow(c_SoundEngine& engine)
{
    c_kovoPlay player;
    player.follow(engine.song);
    int index = 0;
    double followMs = averageMs(followRounds, [&] {
        engine.song.patternColumns[index % channelCount].set(static_cast<size_t>(index % columnLength), U'q');
        index += 1;
        player.follow(engine.song);
    });
    double tickMs = averageMs(followRounds, [&] { player.tickPlayer(); });
    std::printf("live editing      %7.4f ms an edit taken by the player  %7.4f ms a tick (average of %d)\n", followMs,
                tickMs, followRounds);
}

} // namespace

int main()
{
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (!glfwInit()) {
        std::printf("no display: run tools/benchmark.sh, which starts one\n");
        return 1;
    }
    auto game = std::make_unique<BBQuorvaneGame>();
    game->createWindow(640, 475, windowDecorated);
    auto engine = std::make_unique<c_SoundEngine>();
    game->startRun();
    fillBusySong(*engine);
    engine->painter.trackChanges(false);  // every part drawn: the cost of a full repaint

    std::printf("Tracker screen, 640 x 475, a busy song, %d frames of each kind\n", framesPerKind);
    printFrameCost("full repaint", measureFrames(*game, *engine, true));
    engine->transport.switchEditing();  // adds the cursor bar
    printFrameCost("  while editing", measureFrames(*game, *engine, true));
    printFrameCost("meter-only frame", measureFrames(*game, *engine, false));
    engine->painter.showScopes(true);  // the four scopes drawn whole, as while they move
    printFrameCost("scope-only frame", measureFrames(*game, *engine, false));
    engine->painter.showScopes(false);
    std::printf("GL state combinations drawn with: %d\n", gameDelegate()->renderer->drawStateCount());
    measureSongFile(*engine);
    measureLiveFollow(*engine);
    engine.reset();
    game.reset();
    return 0;
}

#include "app/editing/wave_editor.h"

#include "app/editing/cell_text.h"
#include "app/editing/undo_history.h"
#include "app/keys/user_input.h"
#include "app/playing/note_preview.h"
#include "app/screen/instrument_words.h"
#include "app/screen/status_row.h"
#include "app/screen/status_texts.h"
#include "audio/audio_file_loading.h"
#include "base/data_paths.h"
#include "host/input_device.h"
#include "song/wave_file_import.h"
#include "song/wave_shapes.h"
#include "song/waveform_table.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

// Typed paths longer than this are not taken further.
constexpr size_t typedPathLimit = 1024;
// The list shows at most this many files of the waves folder.
constexpr size_t listedWavesLimit = 2000;
constexpr int navigationBase = 65536;  // navigation keys in the character queue

int columnAt(float x)
{
    int column = static_cast<int>(std::floor((x - waveBox.left) / waveColumnWidth));
    return std::clamp(column, 0, ownWaveFrames - 1);
}

int16_t valueAt(float y)
{
    float middle = (waveBox.top + waveBox.bottom) / 2;
    float half = (waveBox.bottom - waveBox.top) / 2;
    double value = std::clamp(static_cast<double>((middle - y) / half), -1.0, 1.0) * ownWavePeak;
    return static_cast<int16_t>(std::lround(value));
}

// Every column from one point to the other gets the value on the straight
// line between them, so that a fast drag leaves no gaps.
void drawLine(OwnWave& wave, int fromColumn, int16_t fromValue, int toColumn, int16_t toValue)
{
    int steps = std::abs(toColumn - fromColumn);
    for (int i = 0; i <= steps; ++i) {
        double t = steps == 0 ? 1.0 : static_cast<double>(i) / steps;
        int column = fromColumn + (toColumn > fromColumn ? i : -i);
        wave[column] = static_cast<int16_t>(std::lround(fromValue + t * (toValue - fromValue)));
    }
}

bool isWaveFileName(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".wav";
}

// "~/x" as the shell means it.
std::string expandedPath(const String& typed)
{
    std::string path = narrow(typed);
    if (path.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        if (home) path = home + path.substr(1);
    }
    return path;
}

bool looksLikePath(const String& typed) { return !typed.empty() && (typed[0] == U'/' || typed[0] == U'~'); }

} // namespace

std::string userWavesFolder()
{
    String home = userDataHome();
    return home.empty() ? std::string() : narrow(home) + "/kovo-tracker/waves";
}

std::vector<SongEntry> readWaveEntries(const std::string& folder)
{
    std::vector<SongEntry> entries;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        if (entries.size() >= listedWavesLimit) break;
        if (!item.is_regular_file(error) || !isWaveFileName(item.path())) continue;
        SongEntry entry;
        entry.name = widen(item.path().filename().string());
        entry.file = widen(item.path().string());
        entry.foldedName = foldedText(entry.name);
        entry.line = shownText(entry.name);
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const SongEntry& a, const SongEntry& b) { return a.foldedName < b.foldedName; });
    return entries;
}

OwnWave stockWave(int waveformIndex)
{
    OwnWave wave {};
    std::optional<AudioSamples> samples = loadAudioSamples(fixDataPath(widen(waveformFiles[static_cast<size_t>(waveformIndex)])));
    if (!samples || samples->channels != 1) return wave;
    int frames = std::min(samples->length, ownWaveFrames);
    for (int i = 0; i < frames; ++i) {
        const unsigned char* at = samples->data.data() + static_cast<size_t>(i * samples->bytesPerSample);
        // 8-bit WAV is unsigned around 128; 16-bit is signed little-endian.
        wave[i] = samples->bytesPerSample == 1 ? static_cast<int16_t>((at[0] - 128) * 256)
                                               : static_cast<int16_t>(at[0] | (at[1] << 8));
    }
    return wave;
}

WaveEditor::WaveEditor(Song& song, const NoteCursor& cursor, UndoHistory& undo, NotePreview& preview, StatusRow& status)
    : song(song), cursor(cursor), undo(undo), preview(preview), status(status)
{
}

void WaveEditor::open()
{
    importing_ = false;
    noteHeld = false;
    stroke.reset();
}

void WaveEditor::close()
{
    // A stroke cut short by closing still counts as one step.
    if (stroke) takeUndoStep(stroke->wavesBefore, stroke->valueBefore);
    stroke.reset();
    noteHeld = false;
    preview.holdWaveNote(nullptr, 0);
}

int WaveEditor::waveValue() const { return instrumentSlot(song, cursor.instrument, slotWave); }

OwnWave WaveEditor::shownWave() const
{
    int value = waveValue();
    if (isOwnWaveValue(value)) return song.ownWaves[ownWaveSlot(value)].value_or(OwnWave {});
    const WaveformPair* pair = waveformPairOf(value);
    return pair ? cachedStock(pair->primary) : OwnWave {};
}

const OwnWave& WaveEditor::cachedStock(int waveformIndex) const
{
    std::optional<OwnWave>& stock = stockWaves[static_cast<size_t>(waveformIndex)];
    if (!stock) stock = stockWave(waveformIndex);
    return *stock;
}

String WaveEditor::title() const
{
    int value = waveValue();
    String head = U"WAV " + byteHex(value) + U" ";
    if (isOwnWaveValue(value)) return head + U"own: " + ownWaveName(shownWave());
    return head + String(waveformPairName(value)) + U": stock, 1st wave";
}

void WaveEditor::setWaveValue(int value) { song.instrumentParams[cursor.instrument * slotsPerInstrument + slotWave] = value; }

bool WaveEditor::input(c_InputDevice& input, bool songPlaying)
{
    bool changed = importing_ ? importInput(input) : editInput(input);
    OwnWave heard = shownWave();
    preview.holdWaveNote((noteHeld || stroke) && !songPlaying ? &heard : nullptr, cursor.octave);
    return changed;
}

// Shapes on F1-F7, the stock waves' first waves on 1-7, Space holds the note.
bool WaveEditor::editInput(c_InputDevice& input)
{
    bool changed = false;
    for (size_t i = 0; i < waveShapes.size(); ++i) {
        if (!pressed(input, keyF1 + static_cast<int>(i))) continue;
        takeWave(shapedWave(waveShapes[i].shape));
        changed = true;
    }
    while (int ch = input.nextChar()) {
        if (ch == ' ') noteHeld = !noteHeld;
        if (ch >= '1' && ch <= '0' + highestWave) {
            int value = ch - '0';
            takeWave(cachedStock(waveformPairOf(value)->primary));
        }
        changed = true;
    }
    if (pressed(input, keyTab)) {
        startImport();
        return true;
    }
    return strokeInput(input) || changed;
}

// Press to release is one stroke; with Shift held at the press it is a
// straight line from the press to the pointer.
bool WaveEditor::strokeInput(c_InputDevice& input)
{
    float x = input.pointerX(), y = input.pointerY();
    if (!stroke && pressed(input, keyMouseLeft) && waveBox.contains(x, y)) {
        stroke = Stroke {song.ownWaves, waveValue(), shownWave(), columnAt(x), valueAt(y), input.isDown(keyShift)};
    }
    if (!stroke) return false;
    OwnWave wave = stroke->line ? stroke->startWave : shownWave();
    drawLine(wave, stroke->lastColumn, stroke->lastValue, columnAt(x), valueAt(y));
    if (!stroke->line) {
        stroke->lastColumn = columnAt(x);
        stroke->lastValue = valueAt(y);
    }
    bool placed = wave == shownWave() || placeWave(wave);
    if (!placed || !input.isDown(keyMouseLeft)) {
        takeUndoStep(stroke->wavesBefore, stroke->valueBefore);
        stroke.reset();
    }
    return true;
}

void WaveEditor::takeWave(const OwnWave& wave)
{
    OwnWaves before = song.ownWaves;
    int valueBefore = waveValue();
    if (placeWave(wave)) takeUndoStep(before, valueBefore);
}

// Named by what it is, so that undo and redo name it right too.
String WaveEditor::ownWaveName(const OwnWave& wave) const
{
    for (const WaveShapeEntry& entry : waveShapes)
        if (shapedWave(entry.shape) == wave) return String(entry.name);
    for (int value = 1; value <= highestWave; ++value)
        if (cachedStock(waveformPairOf(value)->primary) == wave) return String(waveformPairName(value)) + U" copy";
    for (const auto& [imported, name] : importedNames)
        if (imported == wave) return name;
    return U"drawn";
}

bool WaveEditor::placeWave(const OwnWave& wave)
{
    int value = waveValue();
    if (isOwnWaveValue(value)) {
        song.ownWaves[ownWaveSlot(value)] = wave;
        return true;
    }
    auto free = std::find(song.ownWaves.begin(), song.ownWaves.end(), std::nullopt);
    if (free == song.ownWaves.end()) {
        status.say(statusNoWaveSlot);
        return false;
    }
    *free = wave;
    setWaveValue(firstOwnWave + static_cast<int>(free - song.ownWaves.begin()));
    return true;
}

// Nothing changed, no step.
void WaveEditor::takeUndoStep(const OwnWaves& wavesBefore, int valueBefore)
{
    if (song.ownWaves == wavesBefore && waveValue() == valueBefore) return;
    undo.takeWaveStep(cursor.instrument, valueBefore, wavesBefore);
}

// ---- Import ----

void WaveEditor::startImport()
{
    importing_ = true;
    typedPath.clear();
    waveList = SongList(waveList.pageRows());
    waveList.setEntries(readWaveEntries(userWavesFolder()));
}

// A name narrows the list; a path ("/..." or "~/...") is taken as it is.
bool WaveEditor::importInput(c_InputDevice& input)
{
    if (pressed(input, keyTab)) {
        importing_ = false;
        return true;
    }
    while (int ch = input.nextChar()) {
        if (ch == keyBackspace) {
            if (!typedPath.empty()) typedPath.pop_back();
            waveList.widen();
        } else if (ch == navigationBase + keyUp) {
            waveList.moveBy(-1);
        } else if (ch == navigationBase + keyDown) {
            waveList.moveBy(1);
        } else if (ch >= 32 && ch < navigationBase && typedPath.size() < typedPathLimit) {
            typedPath += static_cast<char32_t>(ch);
            waveList.narrow(static_cast<char32_t>(ch));
        }
    }
    if (pressed(input, keyEnter)) importChosen();
    return true;
}

void WaveEditor::importChosen()
{
    const SongEntry* entry = waveList.highlighted();
    if (!looksLikePath(typedPath) && !entry) return;
    std::string path = looksLikePath(typedPath) ? expandedPath(typedPath) : narrow(entry->file);
    WaveImport taken = importWaveFile(path);
    if (!taken.wave) {
        status.say(widen(taken.problem));
        return;
    }
    OwnWaves before = song.ownWaves;
    int valueBefore = waveValue();
    if (!placeWave(*taken.wave)) return;
    importedNames.emplace_back(*taken.wave, widen(std::filesystem::path(path).stem().string()));
    takeUndoStep(before, valueBefore);
    status.say(statusWaveImported);
    importing_ = false;
}

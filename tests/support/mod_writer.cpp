#include "tests/support/mod_writer.h"

#include <cmath>
#include <cstdint>

namespace {

// ProTracker's periods of C-1 to B-3.
constexpr std::array<int, 36> periods = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                         428, 404, 381, 360, 340, 320, 302, 285, 269, 254, 240, 226,
                                         214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

void putWord(std::string& out, int value)
{
    out += char((value >> 8) & 0xFF);
    out += char(value & 0xFF);
}

void putName(std::string& out, const std::string& name, size_t length)
{
    std::string padded = name.substr(0, length);
    padded.resize(length, '\0');
    out += padded;
}

void putSampleHeader(std::string& out, const ModSample* sample)
{
    size_t words = sample ? sample->data.size() / 2 : 0;
    putName(out, sample ? sample->name : std::string(), 22);
    putWord(out, int(words));
    out += char(0);                          // finetune
    out += char(sample ? sample->volume : 0);
    putWord(out, 0);                         // loop from the start ...
    putWord(out, words > 1 ? int(words) : 1);  // ... over the whole sample
}

void putCell(std::string& out, const ModCell& cell)
{
    int period = cell.note >= 0 && cell.note < int(periods.size()) ? periods[size_t(cell.note)] : 0;
    out += char((cell.sample & 0xF0) | (period >> 8));
    out += char(period & 0xFF);
    out += char(((cell.sample & 0x0F) << 4) | (cell.effect & 0x0F));
    out += char(cell.parameter & 0xFF);
}

} // namespace

ModPattern emptyModPattern(int channels)
{
    ModPattern pattern;
    pattern.channels = channels;
    pattern.cells.assign(size_t(modRows * channels), ModCell {});
    return pattern;
}

std::string modBytes(const ModDescription& description)
{
    std::string out;
    putName(out, "kovo test module", 20);
    for (size_t i = 0; i < 31; ++i) putSampleHeader(out, i < description.samples.size() ? &description.samples[i] : nullptr);
    out += char(description.orders.size());
    out += char(127);
    for (size_t i = 0; i < 128; ++i) out += char(i < description.orders.size() ? description.orders[i] : 0);
    out += description.channels == 4 ? "M.K." : std::to_string(description.channels) + "CHN";
    for (const ModPattern& pattern : description.patterns)
        for (const ModCell& cell : pattern.cells) putCell(out, cell);
    for (const ModSample& sample : description.samples) out.append(sample.data.begin(), sample.data.end());
    return out;
}

std::vector<signed char> sawCycle()
{
    std::vector<signed char> cycle;
    for (int i = 0; i < 64; ++i) cycle.push_back(static_cast<signed char>(-128 + i * 4));
    return cycle;
}

std::vector<signed char> sineCycle()
{
    std::vector<signed char> cycle;
    for (int i = 0; i < 64; ++i) cycle.push_back(static_cast<signed char>(std::lround(120 * std::sin(i * 2 * M_PI / 64))));
    return cycle;
}

// A fixed pseudo-random sequence, the same in every run.
std::vector<signed char> noiseSamples(size_t count)
{
    std::vector<signed char> noise;
    std::uint32_t state = 12345;
    for (size_t i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        noise.push_back(static_cast<signed char>(state >> 24));
    }
    return noise;
}

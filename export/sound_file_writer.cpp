#include "export/sound_file_writer.h"

#include "export/export_room.h"
#include "export/export_temporaries.h"

#include <sndfile.h>

#include <cerrno>
#include <cstdio>
#include <cmath>
#include <iterator>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int channels = 2;
constexpr int bytesPerFrame = channels * 2;
// What the tags name as the software: the program as its window title does.
constexpr char softwareName[] = "Kovo Tracker v1.705";

// libsndfile's major format and encoding of each export format, in the
// order of audioFormats.
constexpr int sndfileFormats[] = {
    SF_FORMAT_WAV | SF_FORMAT_PCM_16,
    SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
    SF_FORMAT_OGG | SF_FORMAT_VORBIS,
    SF_FORMAT_OGG | SF_FORMAT_OPUS,
    SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III,
    0,  // MOD and MIDI files are written without libsndfile
    0,
};
static_assert(std::size(sndfileFormats) == audioFormats.size());

// How the 0..10 quality bends on its way to libsndfile's 0..1, per format,
// so that the middle one gives about 160 kbit/s of a busy song in each:
// Opus would spend over 250 kbit/s on a straight line.
constexpr double qualityCurves[] = {1.0, 1.0, 1.0, 1.7, 1.0, 1.0, 1.0};
static_assert(std::size(qualityCurves) == audioFormats.size());

SF_INFO fileInfo(AudioFormat format, int rate)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = sndfileFormats[static_cast<size_t>(format)];
    return info;
}

SoundFileWriter& writerOf(void* user) { return *static_cast<SoundFileWriter*>(user); }

sf_count_t fileLength(void* user) { return writerOf(user).fileLength(); }
sf_count_t seek(sf_count_t offset, int whence, void* user) { return writerOf(user).seek(offset, whence); }
sf_count_t read(void* into, sf_count_t bytes, void* user) { return writerOf(user).read(into, bytes); }
sf_count_t write(const void* from, sf_count_t bytes, void* user) { return writerOf(user).writeBytes(from, bytes); }
sf_count_t tell(void* user) { return writerOf(user).tell(); }

SF_VIRTUAL_IO virtualIo = {fileLength, seek, read, write, tell};

// VBR throughout; the quality runs from the smallest file (0) to the best
// sound (10). Not every encoder takes a bitrate mode: Vorbis is VBR anyway.
void setQuality(SNDFILE* file, AudioFormat format, int quality)
{
    int mode = SF_BITRATE_MODE_VARIABLE;
    sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    double level = std::pow(static_cast<double>(quality) / highestQuality, qualityCurves[static_cast<size_t>(format)]);
    sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &level, sizeof level);
}

// FLAC at its level 1 of 8: the same samples, a file well under 1 % larger
// than the default level's, made in about half the encoder's time.
void setFlacLevel(SNDFILE* file)
{
    double level = 1.0 / 8;
    sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
}

} // namespace

bool canWriteFormat(AudioFormat format, int rate)
{
    if (formatInfo(format).notes) return true;
    SF_INFO info = fileInfo(format, rate);
    return sf_format_check(&info) != 0;
}

SoundFileWriter::~SoundFileWriter()
{
    if (file_ || descriptor_ >= 0) discard();
}

bool SoundFileWriter::fail(const std::string& reason)
{
    if (error_.empty()) error_ = reason;
    return false;
}

bool SoundFileWriter::open(const std::string& path, const ExportSettings& settings)
{
    path_.clear();
    error_.clear();
    dataBytes_ = 0;
    sizeLimited_ = settings.format == AudioFormat::wav;
    lossy_ = formatInfo(settings.format).lossy;
    descriptor_ = createExportTemporary(path);
    if (descriptor_ < 0)
        return fail(errno == EEXIST ? path + " is in the way (another export of it running?)" : std::strerror(errno));
    path_ = path;  // only a file this writer made is ever removed by it
    SF_INFO info = fileInfo(settings.format, settings.rate);
    file_ = sf_open_virtual(&virtualIo, SFM_WRITE, &info, this);
    if (!file_) return fail(error_.empty() ? sf_strerror(nullptr) : error_);
    // Tags go in before the first frame: the encoders write them at the start.
    sf_set_string(file_, SF_STR_TITLE, settings.title.c_str());
    // ID3 as libsndfile writes it has no field for the software: the comment takes it.
    sf_set_string(file_, settings.format == AudioFormat::mp3 ? SF_STR_COMMENT : SF_STR_SOFTWARE, softwareName);
    if (lossy_) setQuality(file_, settings.format, settings.quality);
    if (settings.format == AudioFormat::flac) setFlacLevel(file_);
    return error_.empty() || fail(error_);
}

bool SoundFileWriter::write(const int16_t* frames, size_t frameCount)
{
    if (sizeLimited_ && dataBytes_ + frameCount * bytesPerFrame > largestWavData)
        return fail("the sound is too long for a WAV file");
    sf_count_t written = lossy_ ? writeAsFloats(frames, frameCount)
                                : sf_writef_short(file_, frames, static_cast<sf_count_t>(frameCount));
    dataBytes_ += frameCount * bytesPerFrame;
    if (!error_.empty()) return false;
    return written == static_cast<sf_count_t>(frameCount) || fail(sf_strerror(file_));
}

// The same 16-bit values, as floats: libsndfile's 16-bit path into the MP3
// encoder reads memory it never filled, so that each run sounded different.
long long SoundFileWriter::writeAsFloats(const int16_t* frames, size_t frameCount)
{
    floats_.resize(frameCount * channels);
    for (size_t i = 0; i < floats_.size(); ++i) floats_[i] = static_cast<float>(frames[i]) / 32768.0f;
    return sf_writef_float(file_, floats_.data(), static_cast<sf_count_t>(frameCount));
}

bool SoundFileWriter::finish()
{
    int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0) fail(sf_error_number(closed));
    // On the disk before it takes the target's name: a power cut must not
    // leave an empty file where the old one was.
    if (error_.empty() && fsync(descriptor_) != 0) fail(std::strerror(errno));
    return error_.empty();
}

// Still open, so still locked: no other export takes it for a leftover.
bool SoundFileWriter::moveTo(const std::string& target)
{
    if (std::rename(path_.c_str(), target.c_str()) != 0) return fail(std::strerror(errno));
    path_.clear();
    return closeDescriptor();
}

bool SoundFileWriter::closeDescriptor()
{
    if (descriptor_ < 0) return true;
    int result = ::close(descriptor_);
    descriptor_ = -1;
    return result == 0 || fail(std::strerror(errno));
}

void SoundFileWriter::discard()
{
    if (file_) sf_close(file_);
    file_ = nullptr;
    closeDescriptor();
    if (!path_.empty()) ::unlink(path_.c_str());
}

long long SoundFileWriter::fileLength()
{
    struct stat info {};
    return fstat(descriptor_, &info) == 0 ? info.st_size : -1;
}

long long SoundFileWriter::seek(long long offset, int whence) { return lseek(descriptor_, offset, whence); }

long long SoundFileWriter::read(void* into, long long bytes)
{
    ssize_t got = ::read(descriptor_, into, static_cast<size_t>(bytes));
    return got < 0 ? 0 : got;
}

// The first refusal is kept: the encoder may not say it, and nothing after
// it can make the file whole again. From then on the bytes are dropped but
// count as written, since the file is abandoned anyway: told of a short
// write, libsndfile 1.2.0's Ogg Vorbis encoder whose headers could not go out
// sets itself up a second time when it is closed, and loses the first set-up.
long long SoundFileWriter::writeBytes(const void* from, long long bytes)
{
    const char* at = static_cast<const char*>(from);
    long long done = 0;
    while (done < bytes && error_.empty()) {
        ssize_t put = ::write(descriptor_, at + done, static_cast<size_t>(bytes - done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) fail(std::strerror(put < 0 ? errno : ENOSPC));
        else done += put;
    }
    return error_.empty() ? done : bytes;
}

long long SoundFileWriter::tell() { return lseek(descriptor_, 0, SEEK_CUR); }

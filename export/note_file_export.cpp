#include "export/note_file_export.h"

#include "export/export_temporaries.h"
#include "export/midi_file.h"
#include "export/mod_file.h"
#include "export/song_passes.h"
#include "base/file_replace.h"
#include "song/song_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

ExportResult failure(const std::string& path, const std::string& reason)
{
    return {ExportOutcome::outputFailed, "cannot write " + path + ": " + reason};
}

bool writeAll(int descriptor, const std::vector<uint8_t>& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        ssize_t wrote = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return ::fsync(descriptor) == 0;
}

} // namespace

ExportResult exportNoteFile(const Song& song, const ExportSettings& settings, const std::string& path)
{
    Song settled = song;
    settleSongSettings(settled);
    std::vector<uint8_t> bytes;
    if (settings.format == AudioFormat::midi) {
        bytes = midiFileBytes(settled, settings.title);
    } else {
        std::string reason;
        std::optional<Waveforms> waves = loadWaveforms(reason);
        if (!waves) return {ExportOutcome::renderFailed, reason};
        bytes = modFileBytes(settled, settings.title, *waves);
    }
    removeAbandonedTemporaries(folderOf(path));
    std::string temporary = path + exportTemporarySuffix;
    int descriptor = createExportTemporary(temporary);
    if (descriptor < 0)
        return failure(path, errno == EEXIST ? temporary + " is in the way (another export of it running?)"
                                             : std::strerror(errno));
    bool written = writeAll(descriptor, bytes);
    std::string reason = written ? std::string() : std::strerror(errno);
    // A song saved meanwhile under the export's name stays.
    if (written && fileHoldsSong(path)) reason = "it is a song file, which an export never replaces";
    if (reason.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) reason = std::strerror(errno);
    if (!reason.empty()) ::unlink(temporary.c_str());
    ::close(descriptor);
    if (!reason.empty()) return failure(path, reason);
    syncFolder(folderOf(path));
    return {};
}

#include "io/text_file.h"

#include "host/game.h"
#include "io/stream.h"
#include "io/stream_errors.h"

#include <cstdio>
#include <memory>

namespace {

// Writes the whole text to a new file; false when any byte did not make it.
bool writeWholeText(const String& path, const String& text)
{
    std::unique_ptr<c_FileStream> stream = c_FileStream::open(path, U"w");
    if (!stream) return false;
    try {
        stream->writeText(text);
    } catch (const c_StreamWriteError&) {
        stream->close();
        return false;
    }
    return stream->close();
}

} // namespace

bool replaceTextFile(const String& path, const String& text)
{
    BBGame* game = BBGame::game();
    if (!game) return false;
    String temporary = path + replacementSuffix;
    std::string realTemporary = narrow(game->resolvePath(temporary));
    std::string realPath = narrow(game->resolvePath(path));
    if (realTemporary.empty() || realPath.empty()) return false;
    if (writeWholeText(temporary, text) && std::rename(realTemporary.c_str(), realPath.c_str()) == 0) return true;
    std::remove(realTemporary.c_str());
    return false;
}

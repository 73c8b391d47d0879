#include "app/files/export_song_lookup.h"

#include "app/files/song_list.h"
#include "base/data_paths.h"
#include "song/song_file.h"

#include <sys/stat.h>

namespace {
bool isFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A scheme path as a real file name; the user's folder is not made for a
// look-up (mapSchemePath makes nothing).
std::string fileIn(const char32_t* folder, const std::string& name)
{
    return narrow(mapSchemePath(folder + widen(name), processDataFolders()));
}
} // namespace

std::string exportSongFile(const std::string& argument)
{
    if (isFile(argument)) return argument;
    String name = widen(argument);
    if (name.empty() || !songNameStaysInFolder(name)) return argument;
    for (const char32_t* folder : {songFolder, exampleFolder}) {
        std::string candidate = fileIn(folder, argument);
        if (isFile(candidate)) return candidate;
    }
    return argument;
}

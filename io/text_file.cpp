#include "io/text_file.h"

#include "host/game.h"
#include "io/data_buffer.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

bool replaceTextFile(const String& path, const String& text, Durability durability)
{
    BBGame* game = BBGame::game();
    if (!game) return false;
    // Three bytes of room per character: the most any character encodes to.
    c_DataBuffer buffer;
    buffer.allocate(static_cast<int>(std::min<size_t>(text.size() * 3, INT_MAX)));
    int encoded = buffer.pokeText(0, text, U"utf8");
    std::string_view bytes(reinterpret_cast<const char*>(buffer.bytes()), static_cast<size_t>(encoded));
    return replaceFile(narrow(game->resolvePath(path)), bytes, durability);
}

void removeStaleReplacements(const String& folder)
{
    BBGame* game = BBGame::game();
    std::string realFolder = game ? narrow(game->resolvePath(folder)) : std::string();
    DIR* listing = realFolder.empty() ? nullptr : opendir(realFolder.c_str());
    if (!listing) return;
    while (const dirent* entry = readdir(listing)) {
        struct stat info {};
        // Only files: the replacement never leaves anything else behind.
        if (replacementOwnerGone(entry->d_name) && fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode))
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}

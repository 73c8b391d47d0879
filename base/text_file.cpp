#include "base/text_file.h"

#include "base/data_paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool replaceTextFile(const String& path, const String& text, Durability durability)
{
    std::string realPath = narrow(resolveDataPath(path));
    return !realPath.empty() && replaceFile(realPath, encodeUtf8Text(text), durability);
}

void removeStaleReplacements(const String& folder)
{
    std::string realFolder = narrow(resolveDataPath(folder));
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

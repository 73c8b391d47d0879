#include "base/data_paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool startsWith(const String& text, const String& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool isFolder(const String& path)
{
    struct stat info {};
    return stat(narrow(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isWritableFolder(const String& path)
{
    return isFolder(path) && access(narrow(path).c_str(), W_OK | X_OK) == 0;
}

String parentOf(const String& folder)
{
    size_t slash = folder.rfind(U'/');
    return slash == String::npos ? String() : folder.substr(0, slash);
}

String environmentText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? widen(value) : String();
}

} // namespace

// $XDG_DATA_HOME where it is an absolute path (a relative one is to be
// ignored), else ~/.local/share; "" when there is no home at all.
String userDataHome()
{
    String xdg = environmentText("XDG_DATA_HOME");
    if (startsWith(xdg, U"/")) return xdg;
    String home = environmentText("HOME");
    if (home.empty()) {
        const passwd* entry = getpwuid(getuid());
        if (entry && entry->pw_dir) home = widen(entry->pw_dir);
    }
    return home.empty() ? String() : home + U"/.local/share";
}

String fixDataPath(const String& path)
{
    size_t scheme = path.find(U":/");
    if (scheme != String::npos && path.find(U'/') == scheme + 1) return path;
    if (startsWith(path, U"./") || startsWith(path, U"/")) return path;
    return U"quorvane://data/" + path;
}

DataFolders findDataFolders(const String& appDirectory)
{
    DataFolders folders;
    folders.appDirectory = appDirectory;
    String beside = appDirectory + U"/data";
    folders.resources = isFolder(beside) ? beside : parentOf(appDirectory) + U"/share/kovo-tracker/data";
    if (isWritableFolder(beside + U"/songs")) {
        folders.userFiles = beside;
    } else {
        String home = userDataHome();
        folders.userFiles = home.empty() ? String() : home + U"/kovo-tracker";
        folders.userFilesMadeOnUse = !home.empty();
    }
    return folders;
}

namespace {
DataFolders& foundDataFolders()
{
    static DataFolders folders = findDataFolders(findExecutableDirectory());
    return folders;
}
} // namespace

const DataFolders& processDataFolders() { return foundDataFolders(); }

void useUserFilesFolder(const String& folder)
{
    DataFolders& folders = foundDataFolders();
    folders.userFiles = folder;
    folders.userFilesMadeOnUse = false;
}

String mapSchemePath(const String& path, const DataFolders& folders)
{
    struct SchemeFolder {
        const char32_t* prefix;
        String DataFolders::*folder;
        const char32_t* below;
    };
    // The songs folder comes before the rest of the data folder.
    static const SchemeFolder mapping[] = {
        {U"quorvane://data/songs/", &DataFolders::userFiles, U"/songs/"},
        {U"quorvane://user/", &DataFolders::userFiles, U"/"},
        {U"quorvane://data/", &DataFolders::resources, U"/"},
        {U"quorvane://internal/", &DataFolders::appDirectory, U"/internal/"},
        {U"quorvane://external/", &DataFolders::appDirectory, U"/external/"},
    };
    if (!narrowsExactly(path)) return String();
    if (!startsWith(path, U"quorvane:")) return path;
    for (const SchemeFolder& entry : mapping) {
        String prefix = entry.prefix;
        if (!startsWith(path, prefix)) continue;
        const String& folder = folders.*entry.folder;
        return folder.empty() ? String() : folder + entry.below + path.substr(prefix.size());
    }
    return String();
}

bool makeUserFolder(const DataFolders& folders)
{
    if (folders.userFiles.empty()) return false;
    String songs = folders.userFiles + U"/songs";
    if (!folders.userFilesMadeOnUse || isFolder(songs)) return isFolder(songs);
    // Folders the user's own data lives in are private to the user.
    for (size_t slash = songs.find(U'/', 1); ; slash = songs.find(U'/', slash + 1)) {
        String part = songs.substr(0, slash);
        if (mkdir(narrow(part).c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == String::npos) break;
    }
    return isFolder(songs);
}

String findExecutableDirectory()
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/%i/exe", static_cast<int>(getpid()));
    char target[4096];
    ssize_t length = readlink(link, target, sizeof target);
    if (length < 0 || length >= static_cast<ssize_t>(sizeof target)) std::abort();
    String path = widen(std::string_view(target, static_cast<size_t>(length)));
    size_t slash = path.rfind(U'/');
    if (slash == String::npos) std::abort();
    return path.substr(0, slash);
}

String resolveDataPath(const String& path)
{
    const DataFolders& folders = processDataFolders();
    String real = mapSchemePath(path, folders);
    if (folders.userFilesMadeOnUse && startsWith(real, folders.userFiles + U"/")) makeUserFolder(folders);
    return real;
}

String absolutePath(const String& path)
{
    if (startsWith(path, U"/")) return path;
    std::unique_ptr<char, decltype(&std::free)> here(getcwd(nullptr, 0), &std::free);
    // Without a current folder, "./" still keeps the path out of the data folder.
    return (here ? widen(here.get()) : String(U".")) + U"/" + path;
}

#include "host/data_paths.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

bool startsWith(const String& text, const String& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

String fixDataPath(const String& path)
{
    size_t scheme = path.find(U":/");
    if (scheme != String::npos && path.find(U'/') == scheme + 1) return path;
    if (startsWith(path, U"./") || startsWith(path, U"/")) return path;
    return U"quorvane://data/" + path;
}

String mapSchemePath(const String& path, const String& appDirectory)
{
    struct SchemeFolder {
        const char32_t* prefix;
        const char32_t* folder;
    };
    static constexpr SchemeFolder folders[] = {
        {U"quorvane://data/", U"/data/"},
        {U"quorvane://internal/", U"/internal/"},
        {U"quorvane://external/", U"/external/"},
    };
    if (!startsWith(path, U"quorvane:")) return path;
    for (const SchemeFolder& entry : folders) {
        String prefix = entry.prefix;
        if (startsWith(path, prefix)) return appDirectory + entry.folder + path.substr(prefix.size());
    }
    return String();
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

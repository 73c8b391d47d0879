#include "base/data_files.h"

#include "base/data_paths.h"
#include "base/file_loading.h"

std::FILE* openDataFile(const String& path, const String& mode)
{
    String real = resolveDataPath(path);
    return real.empty() ? nullptr : std::fopen(narrow(real).c_str(), narrow(mode).c_str());
}

std::FILE* openForLoading(const String& path, size_t limit)
{
    String real = resolveDataPath(path);
    return real.empty() ? nullptr : openLoadableFile(narrow(real), limit);
}

std::optional<std::vector<unsigned char>> loadWholeFile(const String& path, size_t limit, bool* readFailed)
{
    std::FILE* file = openForLoading(path, limit);
    if (!file) return std::nullopt;
    std::optional<std::vector<unsigned char>> bytes = readWholeFile(file, limit);
    if (readFailed) *readFailed = std::ferror(file) != 0;
    std::fclose(file);
    return bytes;
}

std::optional<std::vector<unsigned char>> loadFileBytes(const String& path)
{
    return loadWholeFile(path, mediaFileLimit);
}

String loadText(const String& path)
{
    bool readFailed = false;
    return loadText(path, readFailed);
}

String loadText(const String& path, bool& readFailed)
{
    readFailed = false;
    std::optional<std::vector<unsigned char>> bytes = loadWholeFile(fixDataPath(path), textFileLimit, &readFailed);
    return bytes ? decodeText(*bytes) : String();
}

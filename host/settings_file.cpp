#include "host/settings_file.h"

#include "host/file_replace.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// An environment folder, if it is set and absolute (relative ones are to be ignored).
std::optional<std::string> absoluteFolder(const char* variable)
{
    const char* value = std::getenv(variable);
    if (!value || value[0] != '/') return std::nullopt;
    return std::string(value);
}

bool isLineOfKey(const std::string& line, const std::string& key)
{
    return line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=';
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

} // namespace

std::string settingsFilePath()
{
    if (auto config = absoluteFolder("XDG_CONFIG_HOME")) return *config + "/kovo-tracker/settings";
    if (auto home = absoluteFolder("HOME")) return *home + "/.config/kovo-tracker/settings";
    return std::string();
}

std::optional<std::string> readSetting(const std::string& path, const std::string& key)
{
    std::optional<std::string> value;
    if (path.empty()) return value;
    for (std::string& line : readLines(path)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (isLineOfKey(line, key)) value = line.substr(key.size() + 1);
    }
    return value;
}

bool writeSetting(const std::string& path, const std::string& key, const std::string& value)
{
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::ostringstream text;
    for (const std::string& line : readLines(path))
        if (!isLineOfKey(line, key)) text << line << '\n';
    text << key << '=' << value << '\n';
    return replaceFile(path, text.str());
}

#include "app/screen/screen_theme.h"

#include "base/data_paths.h"
#include "base/file_loading.h"
#include "base/settings_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {

// A theme is a few lines; far more is no theme file.
constexpr size_t themeFileLimit = 64 * 1024;
constexpr std::string_view themeExtension = ".theme";

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

const ThemeEntry* entryNamed(const std::string& name)
{
    for (const ThemeEntry& entry : themeEntries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// Three whole numbers 0-255 and nothing else.
bool parseColour(const std::string& text, Colour& colour)
{
    std::istringstream values(text);
    int parts[3] = {-1, -1, -1};
    values >> parts[0] >> parts[1] >> parts[2];
    if (values.fail() || !(values >> std::ws).eof()) return false;
    for (int part : parts) {
        if (part < 0 || part > 255) return false;
    }
    colour = {static_cast<float>(parts[0]), static_cast<float>(parts[1]), static_cast<float>(parts[2])};
    return true;
}

// Sets one colour from a "name = r g b" line; the reason when it cannot.
std::string applyLine(const std::string& line, Theme& theme)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos) return "expected \"name = red green blue\"";
    std::string name = trimmed(line.substr(0, equals));
    const ThemeEntry* entry = entryNamed(name);
    if (!entry) return "unknown colour \"" + name + "\"";
    Colour colour {};
    if (!parseColour(line.substr(equals + 1), colour))
        return "\"" + name + "\" needs three numbers 0-255; it keeps its default colour";
    theme.*(entry->colour) = colour;
    return std::string();
}

// Plain names only: a theme name never leads out of its folder.
bool plainName(const std::string& name)
{
    return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

std::string userThemesFolder()
{
    std::string settings = settingsFilePath();
    size_t slash = settings.rfind('/');
    return slash == std::string::npos ? std::string() : settings.substr(0, slash + 1) + "themes";
}

std::string shippedThemesFolder() { return narrow(processDataFolders().resources) + "/themes"; }

// The names of the folder's theme files.
void addThemeNames(const std::string& folder, std::vector<std::string>& names)
{
    std::error_code error;
    if (folder.empty()) return;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        std::string file = item.path().filename().string();
        if (file.size() <= themeExtension.size() || file.compare(file.size() - themeExtension.size(), std::string::npos, themeExtension) != 0)
            continue;
        std::string name = file.substr(0, file.size() - themeExtension.size());
        if (plainName(name) && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
}

} // namespace

Theme parseTheme(const std::string& text, std::vector<std::string>& complaints)
{
    Theme theme;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        std::string reason = applyLine(line, theme);
        if (!reason.empty()) complaints.push_back("line " + std::to_string(number) + ": " + reason);
    }
    return theme;
}

std::string themeFilePath(const std::string& name)
{
    if (!plainName(name)) return std::string();
    std::string file = "/" + name + std::string(themeExtension);
    std::string user = userThemesFolder();
    std::error_code error;
    if (!user.empty() && std::filesystem::exists(user + file, error)) return user + file;
    return shippedThemesFolder() + file;
}

bool loadTheme(const std::string& name, Theme& theme)
{
    theme = Theme();
    if (name == defaultThemeName) return true;
    std::string path = themeFilePath(name);
    std::FILE* file = path.empty() ? nullptr : openLoadableFile(path, themeFileLimit);
    std::optional<std::vector<unsigned char>> bytes = file ? readWholeFile(file, themeFileLimit) : std::nullopt;
    if (file) std::fclose(file);
    if (!bytes) {
        std::fprintf(stderr, "kovo-tracker: theme \"%s\" cannot be read (%s); the default colours stay\n", name.c_str(),
                     path.empty() ? "not a plain name" : path.c_str());
        return false;
    }
    std::vector<std::string> complaints;
    theme = parseTheme(std::string(bytes->begin(), bytes->end()), complaints);
    for (const std::string& complaint : complaints) std::fprintf(stderr, "kovo-tracker: %s %s\n", path.c_str(), complaint.c_str());
    return true;
}

std::vector<std::string> themeNames()
{
    std::vector<std::string> names;
    addThemeNames(shippedThemesFolder(), names);
    addThemeNames(userThemesFolder(), names);
    std::sort(names.begin(), names.end());
    names.erase(std::remove(names.begin(), names.end(), std::string(defaultThemeName)), names.end());
    names.insert(names.begin(), std::string(defaultThemeName));
    return names;
}

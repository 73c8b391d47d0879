// What the screen looks like by the user's choice: scopes or meters, and the
// theme; both kept in the settings file for the next start.
#include "app/sound_engine.h"

#include "app/screen/screen_theme.h"
#include "base/settings_file.h"

#include <algorithm>

namespace {
constexpr char scopesSetting[] = "scopes";
constexpr char themeSetting[] = "theme";
constexpr char32_t statusScopesOn[] = U"Scopes on";
constexpr char32_t statusScopesOff[] = U"Scopes off";
constexpr char32_t statusTheme[] = U"Theme: ";

// The painter takes the named theme; the name it goes by after, which is the
// default's when the theme could not be read.
std::string takeTheme(const std::string& name, ScreenPainter& painter)
{
    Theme theme = painter.theme();
    bool loaded = loadTheme(name, theme);
    painter.useTheme(theme);
    return loaded ? name : std::string(defaultThemeName);
}
} // namespace

// A theme that cannot be read leaves the default colours.
void c_SoundEngine::readScreenSettings()
{
    painter.showScopes(readSetting(settingsFilePath(), scopesSetting) == "on");
    themeName = readSetting(settingsFilePath(), themeSetting).value_or(std::string(defaultThemeName));
    themeName = takeTheme(themeName, painter);
}

// Ctrl+G
void c_SoundEngine::toggleScopes()
{
    painter.showScopes(!painter.scopesShown());
    painter.repaintAll();
    status.say(painter.scopesShown() ? statusScopesOn : statusScopesOff);
    writeSetting(settingsFilePath(), scopesSetting, painter.scopesShown() ? "on" : "off");
}

// Ctrl+T: the next theme by name, after the last one the default again.
void c_SoundEngine::nextTheme()
{
    std::vector<std::string> names = themeNames();
    auto at = std::find(names.begin(), names.end(), themeName);
    themeName = at == names.end() || at + 1 == names.end() ? names.front() : *(at + 1);
    themeName = takeTheme(themeName, painter);
    painter.repaintAll();
    status.say(statusTheme + widen(themeName));
    writeSetting(settingsFilePath(), themeSetting, themeName);
}

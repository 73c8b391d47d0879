// The colours of the screen as a theme: the built-in default, or a theme file
// of "name = red green blue" lines (0-255 each, "#" starts a comment) in the
// resources' themes/ folder or the user's own (beside the settings file).
#pragma once

#include "app/screen/screen_colours.h"

#include <string>
#include <string_view>
#include <vector>

struct Theme {
    Colour frame = colours::frame;
    Colour text = colours::text;
    Colour beat = colours::beat;
    Colour titleBar = colours::titleBar;
    Colour statusText = colours::statusText;
    Colour grid = colours::grid;
    Colour positionMark = colours::positionMark;
    Colour cursorBar = colours::cursorBar;
    Colour block = colours::block;
    Colour caret = colours::caret;
    Colour description = colours::description;
    Colour meterFloor = colours::meterFloor;
    Colour meterTop = colours::meterTop;
    Colour scope = colours::scope;
};

// A theme file's colour names, in the order a theme file lists them.
struct ThemeEntry {
    std::string_view name;
    Colour Theme::*colour;
};
constexpr ThemeEntry themeEntries[] = {
    {"frame", &Theme::frame},           {"text", &Theme::text},
    {"beat", &Theme::beat},             {"title_bar", &Theme::titleBar},
    {"status_text", &Theme::statusText}, {"grid", &Theme::grid},
    {"position_mark", &Theme::positionMark}, {"cursor_bar", &Theme::cursorBar},
    {"block", &Theme::block},           {"caret", &Theme::caret},
    {"description", &Theme::description}, {"meter_floor", &Theme::meterFloor},
    {"meter_top", &Theme::meterTop},    {"scope", &Theme::scope},
};
static_assert(std::size(themeEntries) * sizeof(Colour) == sizeof(Theme), "every colour of a theme has a name");

constexpr std::string_view defaultThemeName = "default";

// The theme a file's text describes; each line that sets nothing is described
// in complaints ("line 3: ...") and its colour stays the default one.
Theme parseTheme(const std::string& text, std::vector<std::string>& complaints);

// The file of a theme name: the user's own where there is one, else the
// shipped one; empty for a name that is no plain file name.
std::string themeFilePath(const std::string& name);

// The theme of a name: the default for "default", else its file read as any
// small file is (a bad line, or a missing or unreadable file, is named on
// standard error). False when the file could not be read.
bool loadTheme(const std::string& name, Theme& theme);

// "default", then every shipped and user theme by name, each once.
std::vector<std::string> themeNames();

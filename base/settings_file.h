// The program's settings file: plain "key=value" lines, kept between runs.
// A missing or broken file only means the defaults apply.
#pragma once

#include <optional>
#include <string>

// $XDG_CONFIG_HOME/kovo-tracker/settings, or ~/.config/kovo-tracker/settings;
// empty when neither variable gives an absolute folder.
std::string settingsFilePath();

// The value of the last "key=value" line for the key; lines of any other
// shape are skipped.
std::optional<std::string> readSetting(const std::string& path, const std::string& key);

// Sets the key, keeping every other line; makes the folders it needs and
// replaces the file as replaceFile does, so a failed write leaves the old file.
bool writeSetting(const std::string& path, const std::string& key, const std::string& value);

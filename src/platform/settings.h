#pragma once
// The one persisted value, the language, kept through QSettings under the
// organisation "TARVEN SONICS".
#include <optional>
#include <string>

namespace platform {

// Reads an integer value; nullopt when it is missing or not an integer.
std::optional<int> ReadSettingInt(const std::string& name);
// Writes an integer value; false when it could not be stored.
bool WriteSettingInt(const std::string& name, int value);
// Removes a value (tests start from a machine without it).
void RemoveSetting(const std::string& name);
// Tests keep their settings in this folder (INI files), never the user's; an
// empty folder goes back to the user's. Returns the folder set before.
std::string UseSettingsFolder(const std::string& folder);

}  // namespace platform

#pragma once
// The hidden access codes typed into the system page's new lock password
// edit: each reveals something the page keeps hidden. They are kept scrambled
// and spelled out only when the edit is compared.
#include <optional>
#include <string>

enum class AccessCode { kBoost, kLogo, kWifi };

// The code in clear (11 to 13 lower-case letters and digits).
std::string AccessCodeText(AccessCode code);
// The code a text equals, whole and case-sensitive; nullopt for none.
std::optional<AccessCode> MatchAccessCode(const std::string& text);

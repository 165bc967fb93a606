#pragma once
// The unit's ten user modes as the system page shows them, and the checks a
// store and a reset go through before anything is sent.
#include <string>

#include "model/param_image.h"

// A mode name as the user-mode list shows it: its 16 bytes cut at the first
// byte outside 32..122 (a name the unit pads with NULs ends there), without
// the blanks a store pads it with.
std::string UserModeListName(const ModeName& name);
// A row of the user-mode list: "3 - ROCK" for slot 2 (numbered from 1).
std::string UserModeItem(int slot, const ModeName& name);
// The row before the unit's names are known: "3 -".
std::string UserModePlaceholder(int slot);
// A mode name as the name edit shows it: up to 16 bytes, up to the first NUL.
std::string UserModeEditName(const ModeName& name);

// The current mode's name with its trailing blanks and NULs turned into NULs
// (written back), as the page refresh shows it.
std::string TrimCurrentModeName(ParamImage& image);

// Why a store or a reset is refused; kNone lets it go.
enum class UserModeRefusal { kNone, kNotAdmin, kBadName };
// A store needs admin level exactly 1 and a name (the edit's text, UTF-8) of
// characters 32..122 only; an empty name passes.
UserModeRefusal CheckModeStore(int adminMode, const std::string& utf8Name);
// A reset of every mode needs admin level exactly 1.
UserModeRefusal CheckModeReset(int adminMode);

// The texts of the refusals and of the reset's question and caption.
enum class UserModeText { kNotAdmin, kBadName, kWarning, kResetAll };
const char* UserModeMessage(UserModeText which, int language);

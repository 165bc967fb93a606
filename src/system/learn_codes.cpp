#include "system/learn_codes.h"

#include <array>

namespace {

constexpr std::array<const char*, kLearnCodeCount> kLearnFunctionNames = {
    "Mute",   "M1",     "M2",       "M3",    "M4",    "M5",   "M6",   "Auto",
    "VOD",    "AUX",    "HDMI1",    "HDMI2", "HDMI3", "COAX", "OPTI", "KTV",
    "CINEMA", "Music+", "Music-",   "Mic+",  "Mic-",  "Eff+", "Eff-", "Pitch+",
    "Pitch0", "Pitch-", "AutoMode", "BGM",   "HDMI4", " ",    " ",    " ",
};

constexpr char kHexDigits[] = "0123456789abcdef";

}  // namespace

std::string LearnFunctionName(int slot) {
    if (!IsLearnSlot(slot)) return {};
    return kLearnFunctionNames[static_cast<std::size_t>(slot - 1)];
}

std::string LearnCodeText(const LearnCode& code) {
    const std::size_t length = code[0];
    if (length > kLearnCodeMaxLength) return {};
    std::string text;
    for (std::size_t i = 1; i <= length; ++i) {
        text += kHexDigits[code[i] >> 4];
        text += kHexDigits[code[i] & 0xF];
    }
    return text;
}

LearnCode* LearnCodeOf(ParamImage& image, int slot) {
    if (!IsLearnSlot(slot)) return nullptr;
    return &image.LearnCodes[static_cast<std::size_t>(slot - 1)];
}

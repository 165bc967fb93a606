#include "system/access_codes.h"

#include <array>
#include <cstdint>

namespace {

// Each byte is the character XOR (0x5A + 7 x its position).
struct Scrambled {
    AccessCode code;
    int length;
    std::array<std::uint8_t, 13> bytes;
};
constexpr Scrambled kCodes[] = {
    {AccessCode::kBoost, 11, {0x28, 0x10, 0x5F, 0x0D, 0x05, 0x09, 0xB7, 0xF3, 0xE5, 0xA0, 0xD6}},
    {AccessCode::kLogo,
     12,
     {0x36, 0x06, 0x58, 0x02, 0x42, 0x0F, 0xEF, 0xB3, 0xE6, 0xE3, 0x92, 0xC2}},
    {AccessCode::kWifi,
     13,
     {0x2D, 0x07, 0x5E, 0x01, 0x47, 0x05, 0xBD, 0xFB, 0xF3, 0xAC, 0xCB, 0xD6, 0x9D}},
};

}  // namespace

std::string AccessCodeText(AccessCode code) {
    for (const Scrambled& s : kCodes) {
        if (s.code != code) continue;
        std::string text;
        for (int i = 0; i < s.length; ++i)
            text.push_back(
                static_cast<char>(s.bytes[static_cast<std::size_t>(i)] ^ ((0x5A + 7 * i) & 0xFF)));
        return text;
    }
    return {};
}

std::optional<AccessCode> MatchAccessCode(const std::string& text) {
    for (const Scrambled& s : kCodes)
        if (text == AccessCodeText(s.code)) return s.code;
    return std::nullopt;
}

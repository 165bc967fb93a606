#pragma once
// The WiFi module's AP and STA frames as the module reads them, laid out
// here byte by byte, not by the product's code: command, 0x60, the name in
// bytes 2..33, the password in 34..97, zero-padded, 0x0A at 98.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::uint8_t> WifiSettingLayout(std::uint8_t command, const std::string& name,
                                                   const std::string& password) {
    std::vector<std::uint8_t> f(99, 0);
    f[0] = command;
    f[1] = 0x60;
    for (std::size_t i = 0; i < name.size(); ++i) f[2 + i] = static_cast<std::uint8_t>(name[i]);
    for (std::size_t i = 0; i < password.size(); ++i)
        f[34 + i] = static_cast<std::uint8_t>(password[i]);
    f[98] = 0x0A;
    return f;
}

}  // namespace testsupport

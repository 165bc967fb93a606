#pragma once
// A learn table file laid out by the tests from the file's layout, not by
// the program's own packing: magic, version, the codes by slot, the baud
// index and the byte that makes bytes 8..521 sum to 0xFF.
#include <cstdint>
#include <utility>
#include <vector>

namespace testsupport {

using LearnTableCodes = std::vector<std::pair<int, std::vector<std::uint8_t>>>;

inline std::vector<std::uint8_t> LearnTableFileBytes(const LearnTableCodes& codes, int baudIndex) {
    std::vector<std::uint8_t> b = {0x52, 0x41, 0x45, 0x4C, 1, 0, 0, 0};
    b.resize(522, 0);
    for (const auto& [slot, bytes] : codes) {
        const std::size_t at = 8 + 16 * static_cast<std::size_t>(slot - 1);
        b[at] = static_cast<std::uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at + 1));
    }
    b[520] = static_cast<std::uint8_t>(baudIndex);
    unsigned sum = 0;
    for (std::size_t i = 8; i < 521; ++i) sum += b[i];
    b[521] = static_cast<std::uint8_t>(~sum & 0xFF);
    return b;
}

}  // namespace testsupport

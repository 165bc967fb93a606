#include "model/learn_table_file.h"

#include <cstring>
#include <numeric>

#include "model/byte_order.h"
#include "model/file_io.h"

namespace {

constexpr std::uint32_t kMagic = 0x4C454152;
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kCodesOffset = 8;
constexpr std::size_t kBaudOffset = 520;
constexpr std::size_t kChecksumOffset = 521;
constexpr std::uint8_t kChecksumTotal = 0xFF;
constexpr std::size_t kBaudIndexCount = kLearnBaudRates.size();

std::uint8_t SumFromCodes(std::span<const std::uint8_t> bytes, std::size_t end) {
    return static_cast<std::uint8_t>(
        std::accumulate(bytes.begin() + kCodesOffset, bytes.begin() + end, 0u));
}

bool ValuesInRange(std::span<const std::uint8_t> codes, unsigned baudIndex) {
    for (std::size_t i = 0; i < kLearnCodeCount; ++i) {
        if (codes[i * kLearnCodeBytes] > kLearnCodeMaxLength) return false;
    }
    return baudIndex < kBaudIndexCount;
}

}  // namespace

std::optional<LearnTableBytes> PackLearnTable(const ParamImage& image) {
    if (image.BaudIndex < 0) return std::nullopt;
    LearnTableBytes out{};
    std::memcpy(&out[kCodesOffset], image.LearnCodes.data(), sizeof image.LearnCodes);
    if (!ValuesInRange({&out[kCodesOffset], sizeof image.LearnCodes},
                       static_cast<unsigned>(image.BaudIndex))) {
        return std::nullopt;
    }
    WriteU32(kMagic, &out[0]);
    WriteU32(kVersion, &out[4]);
    out[kBaudOffset] = static_cast<std::uint8_t>(image.BaudIndex);
    out[kChecksumOffset] = static_cast<std::uint8_t>(~SumFromCodes(out, kChecksumOffset));
    return out;
}

bool UnpackLearnTable(std::span<const std::uint8_t> bytes, ParamImage& image) {
    if (bytes.size() != kLearnTableFileSize || ReadU32(&bytes[0]) != kMagic ||
        ReadU32(&bytes[4]) != kVersion || SumFromCodes(bytes, bytes.size()) != kChecksumTotal ||
        !ValuesInRange(bytes.subspan(kCodesOffset), bytes[kBaudOffset])) {
        return false;
    }
    std::memcpy(image.LearnCodes.data(), &bytes[kCodesOffset], sizeof image.LearnCodes);
    image.BaudIndex = bytes[kBaudOffset];
    return true;
}

bool SaveLearnTableFile(const std::filesystem::path& path, const ParamImage& image) {
    const auto bytes = PackLearnTable(image);
    return bytes && SaveFileAtomically(path, *bytes);
}

bool LoadLearnTableFile(const std::filesystem::path& path, ParamImage& image) {
    const auto bytes = LoadWholeFile(path, kLearnTableFileSize);
    return bytes && UnpackLearnTable(*bytes, image);
}

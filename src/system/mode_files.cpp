#include "system/mode_files.h"

#include <algorithm>
#include <system_error>

#include "model/file_io.h"
#include "model/pc_mode_file.h"
#include "model/ui_text.h"

namespace {

// Save To PC's texts, English and Chinese.
struct PcModeText {
    const char* english;
    const char* chinese;
    const char* In(int language) const { return language == 1 ? chinese : english; }
};
struct RefusalText {
    PcNameRefusal refusal;
    PcModeText text;
};
constexpr RefusalText kRefusalTexts[] = {
    {PcNameRefusal::kEmpty, {"PC Name is empty ", "模式名称不能为空"}},
    {PcNameRefusal::kInvalidCharacter, {"Invalid charater in PC Name", "模式名称包含非法字符"}},
};
constexpr PcModeText kOverwriteQuestion = {"overwrite ?", "确定覆盖旧文件?"};

}  // namespace

namespace {

unsigned char FoldedCase(char c) {
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

bool ListedBefore(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = FoldedCase(a[i]);
        const unsigned char y = FoldedCase(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

std::vector<std::string> ListModeFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || fileEc) continue;
        const std::string name = it->path().filename().string();
        // A save cut short leaves its temporary file, often of the full size.
        if (IsSaveTemporaryName(name)) continue;
        const auto size = it->file_size(fileEc);
        if (fileEc || size != kPcModeFileSize) continue;
        names.push_back(name);
    }
    // The directory's own order is arbitrary; the list is by name as a file
    // manager shows it, letters of either case together ("alpha" before
    // "Zeta"), and names equal but for case by their bytes, so the order
    // stays the same from run to run.
    std::sort(names.begin(), names.end(), ListedBefore);
    if (names.size() > kMaxModeFiles) names.resize(kMaxModeFiles);
    return names;
}

namespace {

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        // The second byte's range keeps out overlong forms and surrogates.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (text.size() - at < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[at + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
        }
        at += length;
    }
    return true;
}

// GBK as cp936 has it: a byte up to 0x80 stands alone (0x80 is the euro
// sign), 0x81..0xFE leads a pair whose second byte is 0x40..0xFE but 0x7F.
// That second byte can be '\' or '|' (奬 is 8A 5C, 億 is 83 7C).
bool IsGbkLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsGbkTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

bool IsGbk(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte == 0xFF) return false;
        if (!IsGbkLead(byte)) continue;
        if (at + 1 == text.size() || !IsGbkTrail(static_cast<unsigned char>(text[at + 1])))
            return false;
        ++at;
    }
    return true;
}

}  // namespace

PcNameRefusal CheckPcName(std::string_view pcName) {
    if (pcName.empty()) return PcNameRefusal::kEmpty;
    // The save helper's own temporary names would never be listed.
    if (pcName == "." || pcName == ".." || IsSaveTemporaryName(pcName))
        return PcNameRefusal::kInvalidCharacter;
    // Read as the list shows the name: UTF-8 when it is, else GBK when it is
    // (a name made on a Chinese Windows), else byte by byte. Only in GBK is a
    // byte below 0x80 ever part of a wider character.
    const bool gbk = !IsUtf8(pcName) && IsGbk(pcName);
    for (std::size_t at = 0; at < pcName.size(); ++at) {
        const auto byte = static_cast<unsigned char>(pcName[at]);
        if (gbk && IsGbkLead(byte)) {
            ++at;
            continue;
        }
        if (byte < 0x20 || byte == 0x7F ||
            std::string_view("/\\:?*<>|\"").find(pcName[at]) != std::string_view::npos) {
            return PcNameRefusal::kInvalidCharacter;
        }
    }
    return PcNameRefusal::kNone;
}

const char* PcNameRefusalText(PcNameRefusal refusal, int language) {
    for (const RefusalText& r : kRefusalTexts)
        if (r.refusal == refusal) return r.text.In(language);
    return "";
}

const char* PcModeOverwriteQuestion(int language) { return kOverwriteQuestion.In(language); }

std::string PcModeRefusalText(const PcModeRefusal& refusal, int language) {
    const PcModeValueName& n = refusal.name;
    if (refusal.check.field != BandField::kNone)
        return BandRefusalText(n.placeEnglish, n.placeChinese, refusal.band, refusal.check,
                               language);
    return ValueRefusalText(n.placeEnglish, n.placeChinese, n.fieldEnglish, n.fieldChinese,
                            refusal.check.value, refusal.check.min, refusal.check.max, language);
}

bool PcModeFileExists(const std::filesystem::path& folder, const std::string& pcName) {
    std::error_code ec;
    return !pcName.empty() &&
           std::filesystem::exists(std::filesystem::symlink_status(folder / pcName, ec));
}

bool SavePcModeFile(const std::filesystem::path& folder, const std::string& pcName,
                    const ParamImage& image, const ModeName& modeName) {
    if (CheckPcName(pcName) != PcNameRefusal::kNone) return false;
    const auto bytes = PackPcModeFile(image, modeName);
    if (!bytes) return false;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return !ec && SaveFileAtomically(folder / pcName, *bytes);
}

bool LoadPcModeFile(const std::filesystem::path& folder, const std::string& pcName,
                    ParamImage& image) {
    // A listed name is one entry of the folder; anything else is no file of it.
    if (pcName.empty() || pcName == "." || pcName == ".." ||
        pcName.find('/') != std::string::npos) {
        return false;
    }
    const auto bytes = LoadWholeFile(folder / pcName, kPcModeFileSize);
    return bytes && UnpackPcModeFile(*bytes, image);
}

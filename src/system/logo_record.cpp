#include "system/logo_record.h"

#include <algorithm>

namespace {

// A GBK lead byte starts a two-byte character; everything below is ASCII.
constexpr unsigned char kFirstLeadByte = 0x81;

void PutLine(LogoRecord& record, std::size_t at, const std::string& gbk) {
    const std::string line = CutGbk(gbk, kLogoLineBytes);
    std::copy(line.begin(), line.end(), record.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

std::string CutGbk(const std::string& gbk, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < gbk.size()) {
        const std::size_t width = static_cast<unsigned char>(gbk[end]) >= kFirstLeadByte ? 2 : 1;
        if (end + width > maxBytes || end + width > gbk.size()) break;
        end += width;
    }
    return gbk.substr(0, end);
}

LogoRecord SetLogoRecord(const std::string& gbkLine1, const std::string& gbkLine2) {
    LogoRecord record = ClearLogoRecord();
    record[0] = 1;
    PutLine(record, 1, gbkLine1);
    PutLine(record, 1 + kLogoLineBytes, gbkLine2);
    return record;
}

LogoRecord ClearLogoRecord() {
    LogoRecord record;
    record.fill(' ');
    record[0] = 0;
    return record;
}

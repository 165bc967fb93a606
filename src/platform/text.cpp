#include "platform/text.h"

#include <iconv.h>

#include <cerrno>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// Bytes to step over at a UTF-8 sequence iconv refused (malformed, or a
// character GBK lacks): the lead byte and the continuation bytes that belong
// to it, so one bad character shows as one '?'.
std::size_t Utf8BadLength(const char* p, std::size_t left) {
    const auto lead = static_cast<unsigned char>(p[0]);
    std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t n = 1;
    while (n < len && n < left && (static_cast<unsigned char>(p[n]) & 0xC0) == 0x80) ++n;
    return n;
}

// iconv with replacement of bytes it cannot convert, so a bad byte from the
// unit or a file shows as '?' instead of cutting the text short. replaced,
// when given, tells whether any was.
std::string Convert(const char* to, const char* from, const std::string& in,
                    bool* replaced = nullptr) {
    if (replaced) *replaced = false;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
    const bool fromUtf8 = std::string_view(from) == "UTF-8";
    std::string out;
    std::vector<char> buf(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buf.data();
        size_t dstLeft = buf.size();
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf.data(), dst - buf.data());
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // Invalid or incomplete sequence. A GBK lead byte with a bad
            // second byte loses only the lead: the second may be plain ASCII.
            const std::size_t skip = fromUtf8 ? Utf8BadLength(src, srcLeft) : 1;
            out.push_back('?');
            if (replaced) *replaced = true;
            src += skip;
            srcLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string GbkToUtf8(const std::string& gbk) { return Convert("UTF-8", "GBK", gbk); }
std::string Utf8ToGbk(const std::string& utf8) { return Convert("GBK", "UTF-8", utf8); }

bool FitsGbk(const std::string& utf8) {
    bool replaced = false;
    Convert("GBK", "UTF-8", utf8, &replaced);
    return !replaced;
}

std::string FileNameText(const std::string& bytes) {
    bool replaced = false;
    const std::string utf8 = Convert("UTF-8", "UTF-8", bytes, &replaced);
    if (!replaced) return utf8;
    const std::string gbk = Convert("UTF-8", "GBK", bytes, &replaced);
    return replaced ? utf8 : gbk;
}

}  // namespace platform

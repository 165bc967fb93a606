#include "platform/text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace platform {

namespace {

// iconv with replacement of bytes it cannot convert, so a bad byte from the
// unit or a file shows as '?' instead of cutting the text short.
std::string Convert(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
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
            // Invalid or incomplete sequence: skip one byte.
            out.push_back('?');
            ++src;
            --srcLeft;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string GbkToUtf8(const std::string& gbk) { return Convert("UTF-8", "GBK", gbk); }
std::string Utf8ToGbk(const std::string& utf8) { return Convert("GBK", "UTF-8", utf8); }

}  // namespace platform

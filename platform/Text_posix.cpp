#include "platform/Text.h"
#include <iconv.h>

namespace {
// Without a system code page the Chinese one stands in, as the program's old files use it.
std::string Convert(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return in;
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
            // Skip an unconvertible byte rather than give up on the whole text.
            if (dstLeft == 0)
                break;
            *dst++ = '?';
            --dstLeft;
            ++src;
            --srcLeft;
        }
    }
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}
} // namespace

std::string AnsiToUtf8(const std::string& ansi) {
    return Convert("UTF-8", "GBK", ansi);
}
std::string Utf8ToAnsi(const std::string& utf8) {
    return Convert("GBK", "UTF-8", utf8);
}

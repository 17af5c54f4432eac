// GBK (code page 936) text through the C library's iconv.
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/os/gbk.h"

namespace {

bool isAscii(const std::string& s)
{
    for (unsigned char c : s) {
        if (c >= 0x80) return false;
    }
    return true;
}

// Runs iconv over `in`. With `lenient`, undecodable bytes become U+FFFD (or
// '?' towards GBK); otherwise the first one stops the conversion and its
// offset is returned.
bool convertText(const std::string& in, std::string* out, std::size_t* badOffset, bool lenient,
                 const char* to, const char* from)
{
    out->clear();
    if (isAscii(in)) {
        *out = in;
        return true;
    }
    iconv_t cd = iconv_open(to, from);
    // iconv_open's failure value is (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
        if (badOffset != nullptr) *badOffset = 0;
        return false;
    }
    std::string result;
    result.reserve(in.size() * 3 / 2 + 16);
    char buffer[1024];
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        result.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ (not GBK) or EINVAL (cut short at the end).
        if (!lenient) {
            if (badOffset != nullptr) *badOffset = in.size() - srcLeft;
            ok = false;
            break;
        }
        result.append(std::strcmp(to, "UTF-8") == 0 ? "\xEF\xBF\xBD" : "?");
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    if (ok) *out = std::move(result);
    return ok;
}

}  // namespace

bool GbkToUtf8(const std::string& gbk, std::string* utf8, std::size_t* badOffset)
{
    return convertText(gbk, utf8, badOffset, false, "UTF-8", "GBK");
}

std::string GbkToUtf8Lenient(const std::string& gbk)
{
    std::string out;
    convertText(gbk, &out, nullptr, true, "UTF-8", "GBK");
    return out;
}

std::string Utf8ToGbkLenient(const std::string& utf8)
{
    std::string out;
    convertText(utf8, &out, nullptr, true, "GBK", "UTF-8");
    return out;
}

// GBK (code page 936) text through the Win32 code-page conversions.
#include <windows.h>

#include "platform/os/gbk.h"

namespace {

constexpr UINT kGbk = 936;
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

bool isAscii(const std::string& s)
{
    for (unsigned char c : s) {
        if (c >= 0x80) return false;
    }
    return true;
}

std::string toUtf8(const std::wstring& wide)
{
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                            nullptr);
    }
    return out;
}

// Decodes `count` GBK bytes, refusing any that are not GBK; false when
// something was refused.
bool decode(const char* bytes, int count, std::wstring* out)
{
    const int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes, count, nullptr, 0);
    if (n <= 0) return false;
    out->resize(static_cast<std::size_t>(n));
    return MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes, count, out->data(), n) == n;
}

// The text one character at a time (one byte, or a lead byte and its trail):
// what is not GBK becomes U+FFFD with `lenient`, else stops the conversion at
// its offset.
bool convertByCharacter(const std::string& in, std::string* out, std::size_t* badOffset, bool lenient)
{
    std::string result;
    std::size_t i = 0;
    while (i < in.size()) {
        const auto byte = static_cast<unsigned char>(in[i]);
        std::size_t width = 1;
        if (byte >= 0x80 && IsDBCSLeadByteEx(kGbk, byte) && i + 1 < in.size()) width = 2;
        std::wstring wide;
        if (decode(in.data() + i, static_cast<int>(width), &wide)) {
            result += toUtf8(wide);
            i += width;
            continue;
        }
        if (!lenient) {
            if (badOffset != nullptr) *badOffset = i;
            return false;
        }
        result += kReplacement;
        ++i;
    }
    *out = std::move(result);
    return true;
}

bool gbkToUtf8(const std::string& in, std::string* out, std::size_t* badOffset, bool lenient)
{
    out->clear();
    if (isAscii(in)) {
        *out = in;
        return true;
    }
    std::wstring wide;
    if (in.size() < 0x7FFFFFFF && decode(in.data(), static_cast<int>(in.size()), &wide)) {
        *out = toUtf8(wide);
        return true;
    }
    return convertByCharacter(in, out, badOffset, lenient);
}

}  // namespace

bool GbkToUtf8(const std::string& gbk, std::string* utf8, std::size_t* badOffset)
{
    return gbkToUtf8(gbk, utf8, badOffset, false);
}

std::string GbkToUtf8Lenient(const std::string& gbk)
{
    std::string out;
    gbkToUtf8(gbk, &out, nullptr, true);
    return out;
}

std::string Utf8ToGbkLenient(const std::string& utf8)
{
    if (isAscii(utf8)) return utf8;
    if (utf8.size() >= 0x7FFFFFFF) return std::string(utf8.size(), '?');
    // Bytes that are not UTF-8 come out as U+FFFD here and as '?' below.
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) return std::string(utf8.size(), '?');
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    const int m = WideCharToMultiByte(kGbk, 0, wide.data(), n, nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(m > 0 ? m : 0), '\0');
    if (m > 0) WideCharToMultiByte(kGbk, 0, wide.data(), n, out.data(), m, "?", nullptr);
    return out;
}

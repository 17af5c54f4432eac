// Text in the GBK code page (code page 936), in which the panel resources and
// every text handed to the panels are written, and its conversion to and from
// UTF-8.
#pragma once

#include <cstddef>
#include <string>

// GBK to UTF-8. Strict: returns false on a byte sequence that is not GBK and
// sets `badOffset` (may be null) to where it starts.
bool GbkToUtf8(const std::string& gbk, std::string* utf8, std::size_t* badOffset);
// Lenient: bytes that are not GBK become U+FFFD. For run-time texts.
std::string GbkToUtf8Lenient(const std::string& gbk);
// UTF-8 to GBK; what GBK cannot hold (or is not UTF-8) becomes '?'.
std::string Utf8ToGbkLenient(const std::string& utf8);

// Small text helpers on std::wstring shared by every subsystem.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlora::text {

// Case folding as the add-in's collections compare keys: every letter with two cases that an ANSI
// code page can hold, the same on every system.
wchar_t FoldChar(wchar_t c) noexcept;
std::wstring Fold(std::wstring_view s);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept;

// Replaces every occurrence of `what` (non-empty) by `with`, scanning left to right once.
std::wstring ReplaceAll(std::wstring_view s, std::wstring_view what, std::wstring_view with);

// Splits at every occurrence of `separator` (non-empty); "" gives one empty piece.
std::vector<std::wstring> Split(std::wstring_view s, std::wstring_view separator);

// UTF-8 for diagnostics (what()), UTF-16 from UTF-8 for literals read from files and tests.
std::string ToUtf8(std::wstring_view s);
std::wstring FromUtf8(std::string_view s);

// The numbers below come from std::to_chars, not from std::to_wstring or the C library's
// formatting: those would bring the whole printf (with its floating-point conversion) into the DLL
// Word loads.

// Decimal text of a whole number.
std::wstring Decimal(long long n);
// Decimal text at least `width` digits wide, zeros in front (C's "%0*d": a sign goes first and
// counts towards the width).
std::wstring ZeroPadded(long long n, int width);
// Capital hexadecimal digits, no leading zeros (C's "%X").
std::wstring Hexadecimal(uint32_t n);
// A number with 15 significant digits, C's "%.15G": "0.1", "123456789012345", "1E+15",
// "1.5E-05", "INF", "NAN", a sign in front of negative ones.
std::wstring Significant15(double d);

// "yyyy-mm-dd hh:mm:ss", each part at least as wide as there; any values give whole text.
std::wstring DateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace qlora::text

// Small text helpers on std::wstring shared by every subsystem.
#pragma once

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

bool StartsWith(std::wstring_view s, std::wstring_view prefix) noexcept;
bool EndsWith(std::wstring_view s, std::wstring_view suffix) noexcept;

// UTF-8 for diagnostics (what()), UTF-16 from UTF-8 for literals read from files and tests.
std::string ToUtf8(std::wstring_view s);
std::wstring FromUtf8(std::string_view s);

// Decimal text of a whole number.
std::wstring Decimal(long long n);

// "yyyy-mm-dd hh:mm:ss", each part at least as wide as there; any values give whole text.
std::wstring DateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace qlora::text

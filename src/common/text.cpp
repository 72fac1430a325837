#include "common/text.h"

#include <cwchar>
#include <iterator>

namespace qlora::text {

wchar_t FoldChar(wchar_t c) noexcept {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
    // Latin-1 capitals À..Þ except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 32);
    return c;
}

std::wstring Fold(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out) c = FoldChar(c);
    return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldChar(a[i]) != FoldChar(b[i])) return false;
    return true;
}

std::wstring ReplaceAll(std::wstring_view s, std::wstring_view what, std::wstring_view with) {
    std::wstring out;
    out.reserve(s.size());
    size_t from = 0;
    for (size_t at; !what.empty() && (at = s.find(what, from)) != std::wstring_view::npos;
         from = at + what.size()) {
        out.append(s.substr(from, at - from));
        out.append(with);
    }
    out.append(s.substr(from));
    return out;
}

std::vector<std::wstring> Split(std::wstring_view s, std::wstring_view separator) {
    std::vector<std::wstring> parts;
    size_t from = 0;
    for (size_t at; !separator.empty() && (at = s.find(separator, from)) != std::wstring_view::npos;
         from = at + separator.size())
        parts.emplace_back(s.substr(from, at - from));
    parts.emplace_back(s.substr(from));
    return parts;
}

bool StartsWith(std::wstring_view s, std::wstring_view prefix) noexcept {
    return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::wstring_view s, std::wstring_view suffix) noexcept {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string ToUtf8(std::wstring_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = static_cast<char16_t>(s[i]);
        if (sizeof(wchar_t) == 4) c = static_cast<char32_t>(s[i]);
        else if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size()) {
            const char32_t low = static_cast<char16_t>(s[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) out += static_cast<char>(c);
        else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring FromUtf8(std::string_view s) {
    std::wstring out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
            out += L'\uFFFD';
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += extra + 1;
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

std::wstring Decimal(long long n) { return std::to_wstring(n); }

std::wstring DateTime(int year, int month, int day, int hour, int minute, int second) {
    // Room for six numbers of any size: a buffer too small would be left without its end.
    wchar_t buffer[6 * 11 + 5 + 1];
    std::swprintf(buffer, std::size(buffer), L"%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return buffer;
}

}  // namespace qlora::text

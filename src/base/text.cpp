#include "base/text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cwchar>
#include <utility>
#include <iterator>

namespace qlora::text {

namespace {

// The capital letters and the distance to their small letters, for every letter with two cases
// that a Windows ANSI code page holds (1250-1258, and the Greek, Cyrillic, Roman-numeral and
// full-width letters of the East Asian ones). One table, so that Windows and the native tests fold
// alike, whatever the system's own case tables say.
struct FoldRange {
    wchar_t first, last;  // capitals
    int offset;           // small = capital + offset
    int step;             // 2: capitals and small letters alternate, capital first
};

constexpr FoldRange kFoldRanges[] = {
    {0x0041, 0x005A, 32, 1},   // A-Z
    {0x00C0, 0x00D6, 32, 1},   // À-Ö
    {0x00D8, 0x00DE, 32, 1},   // Ø-Þ
    {0x0100, 0x012E, 1, 2},    // Ā-Į
    {0x0130, 0x0130, -0xC7, 1},  // İ: the Turkish dotted capital I folds to i
    {0x0132, 0x0136, 1, 2},    // Ĳ-Ķ
    {0x0139, 0x0147, 1, 2},    // Ĺ-Ň
    {0x014A, 0x0176, 1, 2},    // Ŋ-Ŷ
    {0x0178, 0x0178, -0x79, 1},  // Ÿ
    {0x0179, 0x017D, 1, 2},    // Ź-Ž
    {0x01A0, 0x01A0, 1, 1},    // Ơ (Vietnamese)
    {0x01AF, 0x01AF, 1, 1},    // Ư (Vietnamese)
    {0x0386, 0x0386, 38, 1},   // Ά
    {0x0388, 0x038A, 37, 1},   // Έ-Ί
    {0x038C, 0x038C, 64, 1},   // Ό
    {0x038E, 0x038F, 63, 1},   // Ύ-Ώ
    {0x0391, 0x03A1, 32, 1},   // Α-Ρ
    {0x03A3, 0x03AB, 32, 1},   // Σ-Ϋ
    {0x0400, 0x040F, 80, 1},   // Ѐ-Џ
    {0x0410, 0x042F, 32, 1},   // А-Я
    {0x0490, 0x0490, 1, 1},    // Ґ
    {0x2160, 0x216F, 16, 1},   // Roman numerals Ⅰ-Ⅿ
    {0xFF21, 0xFF3A, 32, 1},   // full-width Ａ-Ｚ
};

}  // namespace

wchar_t FoldChar(wchar_t c) noexcept {
    for (const auto& range : kFoldRanges) {
        if (c < range.first || c > range.last) continue;
        if ((c - range.first) % range.step != 0) return c;  // the small letter of a pair
        return static_cast<wchar_t>(c + range.offset);
    }
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

namespace {

// The standard library's digits (to_chars: no locale, no printf), widened; zeros in front up to
// `width`.
std::wstring Digits(unsigned long long n, int width = 1, int base = 10) {
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), n, base).ptr;
    std::wstring text(buffer.data(), end);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), L'0');
    return text;
}

unsigned long long Magnitude(long long n) {
    return n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
}

// The significant digits of a positive finite value, rounded to `count` (half to even, as C
// rounds), and the decimal exponent of the first one.
std::pair<std::wstring, int> Rounded(long double value, int count) {
    int exponent = static_cast<int>(std::floor(std::log10(value)));
    const long double lowest = std::pow(10.0L, count - 1);
    for (;;) {
        const long double digits = std::nearbyint(value * std::pow(10.0L, count - 1 - exponent));
        if (digits >= lowest * 10) ++exponent;        // rounded up to one more digit, or log10 too low
        else if (digits < lowest) --exponent;         // log10 too high
        else return {Digits(static_cast<unsigned long long>(digits)), exponent};
    }
}

}  // namespace

std::wstring Decimal(long long n) { return (n < 0 ? L"-" : L"") + Digits(Magnitude(n)); }

std::wstring ZeroPadded(long long n, int width) {
    return n < 0 ? L"-" + Digits(Magnitude(n), width - 1) : Digits(Magnitude(n), width);
}

std::wstring Hexadecimal(uint32_t n) {
    std::wstring text = Digits(n, 1, 16);
    for (wchar_t& c : text)
        if (c >= L'a') c = static_cast<wchar_t>(c - L'a' + L'A');  // to_chars writes small letters
    return text;
}

std::wstring Significant15(double d) {
    constexpr int kDigits = 15;
    const std::wstring sign = std::signbit(d) ? L"-" : L"";
    if (std::isnan(d)) return sign + L"NAN";
    if (std::isinf(d)) return sign + L"INF";
    if (d == 0) return sign + L"0";
    auto [digits, exponent] = Rounded(std::fabs(static_cast<long double>(d)), kDigits);
    const auto trimmed = [](std::wstring text) {  // no trailing zeros, no lone point
        if (text.find(L'.') == std::wstring::npos) return text;
        text.erase(text.find_last_not_of(L'0') + 1);
        if (text.back() == L'.') text.pop_back();
        return text;
    };
    if (exponent < -4 || exponent >= kDigits)
        return sign + trimmed(digits.substr(0, 1) + L"." + digits.substr(1)) + L"E" + (exponent < 0 ? L"-" : L"+") +
               Digits(Magnitude(exponent), 2);
    if (exponent < 0) return sign + trimmed(L"0." + std::wstring(static_cast<size_t>(-exponent - 1), L'0') + digits);
    const auto point = static_cast<size_t>(exponent) + 1;
    return sign + trimmed(digits.substr(0, point) + L"." + digits.substr(point));
}

std::wstring DateTime(int year, int month, int day, int hour, int minute, int second) {
    return ZeroPadded(year, 4) + L"-" + ZeroPadded(month, 2) + L"-" + ZeroPadded(day, 2) + L" " +
           ZeroPadded(hour, 2) + L":" + ZeroPadded(minute, 2) + L":" + ZeroPadded(second, 2);
}

}  // namespace qlora::text

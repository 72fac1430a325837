#include "rtf_writer.h"

#include <algorithm>
#include <cstdint>

#include "base/error.h"
#include "base/text.h"

namespace wordsim {
namespace {

// Word's characters that RTF writes as control words in running text.
struct Special {
    char32_t c;
    const char* rtf;
};
constexpr Special kSpecials[] = {
    {U'\r', "\\par\r\n"}, {U'\t', "\\tab "},  {U'\v', "\\line "}, {U'\f', "\\page "},
    {0xA0, "\\~"},        {0x1E, "\\_"},      {0x1F, "\\-"},
};

// Where text goes: running text knows Word's special characters; names and values in
// destinations carry every control character as a hex escape.
enum class Context { Text, Destination };

void AppendUnit(std::string& out, uint16_t unit) {
    out += "\\u" + std::to_string(static_cast<int16_t>(unit)) + "?";
}

void AppendEscaped(std::string& out, std::wstring_view text, Context context) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (const wchar_t w : text) {
        const auto c = static_cast<char32_t>(w);
        if (context == Context::Text) {
            const auto special = std::find_if(std::begin(kSpecials), std::end(kSpecials),
                                              [c](const Special& s) { return s.c == c; });
            if (special != std::end(kSpecials)) {
                out += special->rtf;
                continue;
            }
        }
        if (c == U'\\' || c == U'{' || c == U'}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            out += "\\'";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c > 0xFFFF) {  // beyond the 16 bits of \u: as UTF-16 does it, two halves
            const char32_t v = c - 0x10000;
            AppendUnit(out, static_cast<uint16_t>(0xD800 + (v >> 10)));
            AppendUnit(out, static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            AppendUnit(out, static_cast<uint16_t>(c));
        }
    }
}

std::string Group(std::string_view keyword, std::wstring_view name) {
    std::string out = "{\\*\\";
    out += keyword;
    out += ' ';
    AppendEscaped(out, name, Context::Destination);
    return out + "}";
}

// The bookmark marks at one position: first the ends of the bookmarks that close there, then the
// starts, an empty bookmark's end right after its start.
std::string MarksAt(const Document& doc, int32_t at) {
    const auto length = static_cast<int32_t>(doc.text.size());
    const auto clamp = [length](int32_t p) { return std::clamp(p, 0, length); };
    std::string out;
    for (const auto& b : doc.bookmarks)
        if (clamp(b.span.end) == at && clamp(b.span.start) < at) out += Group("bkmkend", b.name);
    for (const auto& b : doc.bookmarks) {
        if (clamp(b.span.start) != at) continue;
        out += Group("bkmkstart", b.name);
        if (clamp(b.span.end) <= at) out += Group("bkmkend", b.name);
    }
    return out;
}

}  // namespace

std::string Rtf(const Document& doc) {
    std::string out = "{\\rtf1\\ansi\\deff0\\uc1\r\n{\\fonttbl{\\f0\\froman Times New Roman;}}\r\n";
    for (const auto& v : doc.variables) {
        out += "{\\*\\docvar {";
        AppendEscaped(out, v.name, Context::Destination);
        out += "}{";
        AppendEscaped(out, v.value, Context::Destination);
        out += "}}\r\n";
    }
    out += "\\pard\\plain\\f0 ";
    const auto length = static_cast<int32_t>(doc.text.size());
    for (int32_t at = 0; at <= length; ++at) {
        out += MarksAt(doc, at);
        if (at < length) AppendEscaped(out, std::wstring_view(doc.text).substr(static_cast<size_t>(at), 1), Context::Text);
    }
    return out + "\r\n}\r\n";
}

std::string SavedFile(const Document& doc) {
    constexpr int32_t kFormatRtf = 6;  // wdFormatRTF
    const auto format = doc.savedAs ? doc.savedAs->FileFormat : std::nullopt;
    if (format && *format != qlora::word::wdFormatDocument && *format != kFormatRtf)
        throw qlora::Error(4198, L"Microsoft Word",
                           L"Command failed: wordsim saves in Word's document format (0) or as RTF (6), not in format " +
                               qlora::text::Decimal(*format));
    return Rtf(doc);
}

}  // namespace wordsim

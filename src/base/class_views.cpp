#include "base/class_views.h"

#include <algorithm>
#include <array>

#include "base/text.h"

namespace qlora::classes {
namespace {

// The keys below Software\Classes that 64-bit Windows redirects for 32-bit programs, per user and
// per machine (Windows 7 and later).
constexpr std::array<std::wstring_view, 5> kRedirected{L"CLSID", L"DirectShow", L"Interface", L"Media Type",
                                                       L"MediaFoundation"};
constexpr std::wstring_view kWow64Node = L"Wow6432Node";

}  // namespace

std::wstring KeyIn(View view, std::wstring_view key) {
    const std::wstring_view top = key.substr(0, key.find(L'\\'));
    const bool redirected =
        std::ranges::any_of(kRedirected, [&](std::wstring_view name) { return text::EqualsNoCase(top, name); });
    if (view == View::Native || !redirected) return std::wstring(key);
    return std::wstring(kWow64Node) + L"\\" + std::wstring(key);
}

}  // namespace qlora::classes

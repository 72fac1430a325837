#include "toolbar/display_names.h"

#include <optional>

#include "base/keyed_collection.h"
#include "base/text.h"
#include "session/global.h"
#include "toolbar/wildcards.h"
#include "trail/error_trail.h"

namespace qlora::basDisplayNames {
namespace {

std::optional<KeyedCollection<std::wstring>>& Catalogue() {
    static std::optional<KeyedCollection<std::wstring>> catalogue;
    return catalogue;
}

constexpr std::wstring_view kSeparator = L"||";

}  // namespace

void FillNamesList() {
    PassOn(L"basDisplayNames.FillNamesList", [] {
        Catalogue().emplace();
        for (const auto& w : kWildcards)
            AddEntry(std::wstring(w.bookmarkName), std::wstring(w.german), std::wstring(w.english));
    });
}

void AddEntry(const std::wstring& strName, const std::wstring& strGerman, const std::wstring& strEnglish) {
    PassOn(
        L"basDisplayNames.AddEntry(strName,strGerman,strEnglish)",
        [&] {
            if (!Catalogue()) throw Raised(kObjectRequired);
            const std::wstring& english = strEnglish.empty() ? strGerman : strEnglish;
            Catalogue()->Add(strGerman + std::wstring(kSeparator) + english, strName);
        },
        strName, strGerman, strEnglish);
}

std::wstring GetDisplayName(const std::wstring& strName, int32_t lngLanguage) {
    if (lngLanguage == -1) lngLanguage = basGlobal::gLanguage;
    const auto& catalogue = Catalogue();
    const std::wstring* item = catalogue ? catalogue->Find(strName) : nullptr;
    if (!item || item->find(kSeparator) == std::wstring::npos || lngLanguage < 0) return {};
    const auto parts = text::Split(*item, kSeparator);
    return static_cast<size_t>(lngLanguage) < parts.size() ? parts[static_cast<size_t>(lngLanguage)] : std::wstring();
}

std::wstring GetPlainName(const std::wstring& strName, int32_t lngLanguage) {
    std::wstring text = GetDisplayName(strName, lngLanguage);
    std::erase(text, L'<');
    std::erase(text, L'>');
    return text;
}

void ClearNamesList() { Catalogue().reset(); }

int32_t Count() { return Catalogue() ? Catalogue()->Count() : 0; }

}  // namespace qlora::basDisplayNames

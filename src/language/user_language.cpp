#include "language/user_language.h"

#include "base/port.h"

namespace qlora::basGlobal {

int32_t LanguageIndexOf(const std::wstring& englishLanguageName) {
    return englishLanguageName == L"German" ? kGerman : kEnglish;
}

void SetLanguage() {
    auto* locale = Installed<UserLocale>::Get();
    gLanguage = LanguageIndexOf(locale ? locale->EnglishLanguageName() : std::wstring());
}

}  // namespace qlora::basGlobal

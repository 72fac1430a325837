#include "addin/global.h"

#include "common/port.h"

namespace qlora::basGlobal {

int32_t LanguageIndexOf(const std::wstring& englishLanguageName) {
    return englishLanguageName == L"German" ? kGerman : kEnglish;
}

void SetLanguage() {
    auto* locale = Installed<UserLocale>::Get();
    gLanguage = LanguageIndexOf(locale ? locale->EnglishLanguageName() : std::wstring());
}

void EnsureStarted() {
    static bool started = false;
    if (started) return;
    started = true;
    SetLanguage();
}

}  // namespace qlora::basGlobal

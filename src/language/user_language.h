// The user's language (basGlobal's gLanguage): German or English, from the user's Windows language.
#pragma once

#include <cstdint>
#include <string>

namespace qlora {

// Where the user's language comes from: the Windows adapter asks GetLocaleInfoA.
class UserLocale {
public:
    virtual ~UserLocale() = default;
    // The English name of the user's default language ("German", "English", ...), or "".
    virtual std::wstring EnglishLanguageName() = 0;
};

namespace basGlobal {

inline constexpr int32_t kGerman = 0;
inline constexpr int32_t kEnglish = 1;

inline int32_t gLanguage = kEnglish;

// The language index of a language name: "German" exactly is German, everything else English.
int32_t LanguageIndexOf(const std::wstring& englishLanguageName);

// Sets gLanguage from the user's Windows language (through the installed UserLocale).
void SetLanguage();

}  // namespace basGlobal
}  // namespace qlora

// basGlobal: the state the whole add-in shares for the life of the process, and the start
// routine, the first code of the add-in that runs in a process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "addin/word_host.h"

namespace qlora {

class clsCommandBar;
class clsProgramSettings;
class clsTemplateList;

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

// Set while Word has the add-in connected (the handler sets and releases them).
inline std::shared_ptr<word::Application> gWordApplication;
inline std::shared_ptr<clsCommandBar> gCommandBar;
inline std::shared_ptr<clsProgramSettings> gSettings;
// Kept until the process ends.
inline std::shared_ptr<clsTemplateList> gTemplateList;
inline std::wstring gDataPath;  // ends with "\"
inline int32_t gLanguage = kEnglish;

// The language index of a language name: "German" exactly is German, everything else English.
int32_t LanguageIndexOf(const std::wstring& englishLanguageName);

// Sets gLanguage from the user's Windows language (through the installed UserLocale).
void SetLanguage();

// Runs the start routine once per process: it sets the language and does nothing else. The
// component calls it before the first object's first method.
void EnsureStarted();

}  // namespace basGlobal
}  // namespace qlora

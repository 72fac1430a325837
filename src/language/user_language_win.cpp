#include "language/user_language_win.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "win/win32_win.h"

namespace qlora {

std::wstring WinUserLocale::EnglishLanguageName() {
    // First the length, then the name; the terminating NUL is not part of it.
    const int needed = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, nullptr, 0);
    if (needed <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(needed));
    const int written = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, buffer.data(), needed);
    if (written <= 0) return {};
    return win::FromAnsi(std::string_view(buffer.data(), static_cast<size_t>(written - 1)));
}

}  // namespace qlora

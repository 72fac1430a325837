// The user's language as Windows names it, through GetLocaleInfoA.
#pragma once

#include "language/user_language.h"

namespace qlora {

class WinUserLocale final : public UserLocale {
public:
    std::wstring EnglishLanguageName() override;
};

}  // namespace qlora

// The user's language as Windows names it, through GetLocaleInfoA.
#pragma once

#include "addin/global.h"

namespace qlora {

class WinUserLocale final : public UserLocale {
public:
    std::wstring EnglishLanguageName() override;
};

// Installs the Windows ports (message boxes, error trail host, user locale) for the process.
void InstallWindowsPorts();

}  // namespace qlora

#include "addin/global_win.h"

#include <windows.h>

#include <vector>

#include "addin/dialogs_win.h"
#include "addin/timer_form_win.h"
#include "common/port.h"
#include "common/prompt_win.h"
#include "common/win32_win.h"
#include "errors/error_trail_win.h"
#include "settings/registry_win.h"
#include "templates/file_sys_win.h"
#include "shell/operating_system_win.h"
#include "shell/shell_execute_win.h"
#include "toolbar/check_wildcards_win.h"

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

void InstallWindowsPorts() {
    static WinMessagePrompt prompt;
    static WinTrailHost trailHost;
    static WinUserLocale locale;
    static WinShell shell;
    static WinVersionSource version;
    static WinTimerFactory timers;
    Installed<MessagePrompt>::Set(&prompt);
    Installed<ErrorTrailHost>::Set(&trailHost);
    Installed<UserLocale>::Set(&locale);
    Installed<ShellHost>::Set(&shell);
    Installed<VersionSource>::Set(&version);
    Installed<TimerFactory>::Set(&timers);
    Installed<RegistryPort>::Set(&WindowsRegistry());
    Installed<FileSystemPort>::Set(&WindowsFileSystem());
    static WinDialogs dialogs;
    Installed<ToolbarDialogs>::Set(&dialogs);
    Installed<OpenDialogs>::Set(&dialogs);
    Installed<ReportView>::Set(&dialogs);
    static WinCheckWildcardsView checkWildcards;
    Installed<CheckWildcardsView>::Set(&checkWildcards);
}

}  // namespace qlora

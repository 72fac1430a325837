#include "addin/windows_ports_win.h"

#include <windows.h>

#include <vector>

#include "addin/dialogs_win.h"
#include "addin/timer_form_win.h"
#include "base/port.h"
#include "language/user_language_win.h"
#include "settings/registry_win.h"
#include "shell/operating_system_win.h"
#include "shell/shell_execute_win.h"
#include "templates/file_sys_win.h"
#include "toolbar/check_wildcards_win.h"
#include "trail/error_trail_win.h"
#include "win/prompt_win.h"
#include "win/win32_win.h"

namespace qlora {

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

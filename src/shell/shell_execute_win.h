// The shell's execute service on Windows: ShellExecuteA and ShellExecuteExA with the texts in the
// ANSI code page, and the started process's exit code through GetExitCodeProcess.
#pragma once

#include "shell/shell_execute.h"

namespace qlora {

class WinShell final : public ShellHost {
public:
    std::intptr_t Execute(const ShellRequest& request) override;
    Started ExecuteEx(const ShellRequest& request, uint32_t mask) override;
};

}  // namespace qlora

// The error trail's host on Windows: computer name, local time with the user's separators, the
// DLL's version resource, the ADO version, system messages and the log file in the ANSI code page.
#pragma once

#include "trail/error_trail.h"

namespace qlora {

class WinTrailHost final : public ErrorTrailHost {
public:
    std::wstring ComputerName() override;
    LocalTime Now() override;
    std::wstring AppTitle() override;
    std::wstring AppVersion() override;
    std::wstring AdoVersion() override;
    std::wstring SystemMessage(int32_t code) override;
    std::wstring ModuleFolder() override;
    bool TryAppendToFile(const std::wstring& path, const std::wstring& text) override;
    int64_t MonotonicMilliseconds() override;
    void Sleep(int32_t milliseconds) override;
    void ResetMousePointer() override;
};

// The version of the module holding the add-in's code, major.minor.revision, from its resource.
std::wstring ModuleVersion();

}  // namespace qlora

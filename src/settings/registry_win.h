// The settings store's registry: the ANSI registry API of advapi32 and shlwapi's SHDeleteKeyA.
#pragma once

#include "settings/program_settings.h"

namespace qlora {

class WinRegistry final : public RegistryPort {
public:
    RawValue QueryValue(int32_t root, const std::wstring& key, const std::wstring& name) override;
    void SetValue(int32_t root, const std::wstring& key, const std::wstring& name, const std::wstring& data,
                  uint32_t type) override;
    bool DeleteTree(int32_t root, const std::wstring& key) override;
};

// The process's one instance, which InstallWindowsPorts installs.
RegistryPort& WindowsRegistry();

}  // namespace qlora

// The Windows version through GetVersionExA.
#pragma once

#include "shell/operating_system.h"

namespace qlora {

class WinVersionSource final : public VersionSource {
public:
    std::optional<OsVersionInfo> ReadVersion() override;
};

}  // namespace qlora

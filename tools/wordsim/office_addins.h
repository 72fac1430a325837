// How Office finds and starts COM add-ins: the registry key it reads and what the value
// LoadBehavior says.
#pragma once

#include <cstdint>
#include <optional>

namespace wordsim::office {

// Below HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, one subkey per add-in, named by its ProgID.
inline constexpr wchar_t kAddInsKey[] = L"Software\\Microsoft\\Office\\Word\\Addins";

// Connect modes (ext_ConnectMode) and disconnect modes (ext_DisconnectMode).
inline constexpr int32_t kAfterStartup = 0;
inline constexpr int32_t kStartup = 1;
inline constexpr int32_t kHostShutdown = 0;
inline constexpr int32_t kUserClosed = 1;

// True when Word connects the add-in as it starts: "load at start-up" (2, 3: loaded or not when
// Word last ran) and "connect the first time" (16).
bool ConnectsAtStartup(uint32_t loadBehavior);

// What Office writes back after connecting an add-in at start-up, or nothing when the value
// stays: a failed connection is no longer loaded (3 becomes 2), a first-time add-in is loaded on
// demand from then on (16 becomes 9).
std::optional<uint32_t> LoadBehaviorAfterStartup(uint32_t loadBehavior, bool connected);

}  // namespace wordsim::office

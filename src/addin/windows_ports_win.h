// The Windows side of every port the add-in's portable code declares.
#pragma once

namespace qlora {

// Installs the Windows ports (message boxes, error trail host, user locale, dialogs, files,
// registry, shell, timers) for the process.
void InstallWindowsPorts();

}  // namespace qlora

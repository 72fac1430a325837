#include "session/global.h"

namespace qlora::basGlobal {

void EnsureStarted() {
    static bool started = false;
    if (started) return;
    started = true;
    SetLanguage();
}

}  // namespace qlora::basGlobal

// Timers on the user-interface thread: a hidden message-only window per timer, ticking with
// WM_TIMER through the thread's message loop (Word's own, or wordsim's).
#pragma once

#include "addin/timer_form.h"

namespace qlora {

class WinTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<Timer> Start(int32_t intervalMilliseconds, std::function<void()> onTick) override;
};

}  // namespace qlora

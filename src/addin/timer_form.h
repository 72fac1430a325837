// frmTimer: a dialog that is loaded but never shown; its timer tmrSavePosition ticks every 5000 ms
// from the moment it is loaded and raises SaveCommandPosition, on which the handler has the
// toolbar store its position.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace qlora {

// A running timer; it stops when destroyed.
class Timer {
public:
    virtual ~Timer() = default;
};

// Starts timers on the user-interface thread; the Windows adapter uses a hidden window.
class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> Start(int32_t intervalMilliseconds, std::function<void()> onTick) = 0;
};

class frmTimer {
public:
    static constexpr wchar_t kTypeName[] = L"frmTimer";
    static constexpr int32_t kInterval = 5000;

    // Loading starts the timer; ticks raise SaveCommandPosition until the form is unloaded
    // (destroyed). Without a timer factory installed the form loads but never ticks.
    explicit frmTimer(std::function<void()> SaveCommandPosition);
    ~frmTimer();
    frmTimer(const frmTimer&) = delete;
    frmTimer& operator=(const frmTimer&) = delete;

    // The timer's tick: raises SaveCommandPosition; a failure is reported here.
    void tmrSavePosition_Timer();

private:
    std::function<void()> saveCommandPosition_;
    std::unique_ptr<Timer> tmrSavePosition_;
};

}  // namespace qlora

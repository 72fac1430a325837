#include "addin/timer_form.h"

#include "base/port.h"
#include "trail/error_trail.h"

namespace qlora {

frmTimer::frmTimer(std::function<void()> SaveCommandPosition) : saveCommandPosition_(std::move(SaveCommandPosition)) {
    if (auto* factory = Installed<TimerFactory>::Get())
        tmrSavePosition_ = factory->Start(kInterval, [this] { tmrSavePosition_Timer(); });
}

frmTimer::~frmTimer() = default;

void frmTimer::tmrSavePosition_Timer() {
    ReportFailures(L"frmTimer.tmrSavePosition_Timer", [&] {
        if (saveCommandPosition_) saveCommandPosition_();
    });
}

}  // namespace qlora

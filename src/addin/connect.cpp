#include "addin/connect.h"

#include "ribbon/ribbon.h"
#include "trail/error_trail.h"

namespace qlora {

void Connect::IDTExtensibility2_OnConnection(const std::function<std::shared_ptr<word::Application>()>& application,
                                             int32_t ConnectMode, const Shown& shown) {
    ReportFailures(
        L"Connect.IDTExtensibility2_OnConnection(Application,ConnectMode,AddInInst,custom)",
        [&] {
            handler_ = std::make_unique<clsWordAddIn>();
            handler_->InitHandler(application());
            // Loaded while Word runs already: Word will not call this itself.
            if (ConnectMode != ext_cm_Startup) IDTExtensibility2_OnStartupComplete();
        },
        shown.application, ConnectMode, shown.addInInst, shown.custom);
}

void Connect::IDTExtensibility2_OnDisconnection(int32_t RemoveMode, const ArgValue& custom) {
    ReportFailures(
        L"Connect.IDTExtensibility2_OnDisconnection(RemoveMode,custom)",
        [&] {
            if (handler_ && RemoveMode == ext_dm_UserClosed) handler_->RemoveToolbar();
            if (handler_) handler_->UnInitHandler();
            handler_.reset();
            basRibbon::Release();
            // Unloaded by the user while Word keeps running.
            if (RemoveMode != ext_dm_HostShutdown) IDTExtensibility2_OnBeginShutdown();
        },
        RemoveMode, custom);
}

void Connect::IDTExtensibility2_OnStartupComplete() {
    if (handler_) handler_->StartupComplete();
}

}  // namespace qlora

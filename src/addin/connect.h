// Connect: the object Word loads (QloraWordAddIn.Connect). It owns one add-in handler for the
// life of a connection and does nothing else of its own. Its COM face implements Office's
// IDTExtensibility2 and hands each call here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "addin/word_addin.h"
#include "base/arg_value.h"
#include "word/word_host.h"

namespace qlora {

class Connect {
public:
    static constexpr wchar_t kTypeName[] = L"Connect";
    static constexpr int32_t ext_cm_Startup = 1;
    static constexpr int32_t ext_dm_HostShutdown = 0;
    static constexpr int32_t ext_dm_UserClosed = 1;

    // How the host's arguments show in an error report (objects by type name, custom as an array).
    struct Shown {
        ArgValue application, addInInst, custom;
    };

    // `application` gives Word's application behind the port; it fails for a host that is not Word.
    // Both report any failure themselves and return: nothing reaches Word.
    void IDTExtensibility2_OnConnection(const std::function<std::shared_ptr<word::Application>()>& application,
                                        int32_t ConnectMode, const Shown& shown);
    // Unloaded by the user (ext_dm_UserClosed) while Word keeps running, the toolbar goes too:
    // its buttons would have nobody left to answer them.
    void IDTExtensibility2_OnDisconnection(int32_t RemoveMode, const ArgValue& custom);
    // Builds the toolbar when a document is open and no DocumentChange has built it yet.
    void IDTExtensibility2_OnStartupComplete();
    void IDTExtensibility2_OnAddInsUpdate() {}
    void IDTExtensibility2_OnBeginShutdown() {}

    bool Connected() const noexcept { return static_cast<bool>(handler_); }

private:
    std::unique_ptr<clsWordAddIn> handler_;
};

}  // namespace qlora

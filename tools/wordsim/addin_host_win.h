// Word's side of COM add-ins: it finds them under the Office add-in key (HKEY_CURRENT_USER, then
// HKEY_LOCAL_MACHINE), creates them in-process by ProgID and drives them through
// IDTExtensibility2 as Word does: OnConnection, OnStartupComplete, OnBeginShutdown,
// OnDisconnection.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "com_face_win.h"
#include "extensibility_win.h"
#include "ribbon_host_win.h"
#include "session.h"

namespace wordsim {

// One add-in as the Office add-in key registers it.
struct AddInRegistration {
    HKEY root = nullptr;  // HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE
    std::wstring progId;
    std::wstring friendlyName;
    std::wstring description;
    std::optional<uint32_t> loadBehavior;  // nothing when absent or not a REG_DWORD
};

// The add-ins registered for Word, in the registry's order; a ProgID under HKEY_CURRENT_USER
// hides the same one under HKEY_LOCAL_MACHINE.
std::vector<AddInRegistration> RegisteredAddIns();

class AddInHost {
public:
    AddInHost(com::Face& face, Print print);
    ~AddInHost();
    AddInHost(const AddInHost&) = delete;
    AddInHost& operator=(const AddInHost&) = delete;

    // Word starts: connects every add-in whose LoadBehavior asks for it (ext_cm_Startup), runs
    // `beforeComplete` (Word opens its start-up document) and tells each add-in that start-up is
    // complete. A failed connection is reported and written back to LoadBehavior as Office
    // writes it.
    void Startup(const std::function<void()>& beforeComplete = {});
    // The user connects a registered add-in while Word runs (ext_cm_AfterStartup), or
    // disconnects a connected one (ext_dm_UserClosed). Unknown ProgIDs fail with qlora::Error.
    void Connect(const std::wstring& progId);
    void Disconnect(const std::wstring& progId);
    // Word quits: OnBeginShutdown to every add-in, then OnDisconnection(ext_dm_HostShutdown),
    // then each is released and its DLL asked whether it can unload. Reports the Word objects
    // the add-ins still hold afterwards.
    void Shutdown();

    std::vector<std::wstring> Connected() const;

    // Each successful connection so far, as Office keeps an add-in's load time: from creating the
    // add-in to the end of its OnConnection, with the calls it made into Word meanwhile.
    struct Load {
        std::wstring progId;
        Cost cost;
    };
    const std::vector<Load>& Loads() const { return loads_; }

    // The Ribbon with the connected add-ins' customizations.
    RibbonHost& Ribbon() { return ribbon_; }

private:
    struct Connection;

    bool ConnectOne(const AddInRegistration& registration, int32_t mode);
    void Release(Connection& connection);
    std::vector<std::unique_ptr<Connection>>::iterator Find(const std::wstring& progId);

    com::Face& face_;
    Print print_;
    Microsoft::WRL::ComPtr<IDispatch> application_;  // Word's Application object, as the add-ins get it
    std::vector<std::unique_ptr<Connection>> connections_;
    std::vector<Load> loads_;
    RibbonHost ribbon_;
};

}  // namespace wordsim

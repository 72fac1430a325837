#include "addin_host_win.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>

#include "base/text.h"
#include "office_addins.h"
#include "win/class_views_win.h"
#include "win/win32_win.h"

namespace wordsim {
namespace {

using Microsoft::WRL::ComPtr;
using qlora::text::Decimal;
using qlora::text::EqualsNoCase;

using qlora::win::UniqueModule;
using qlora::win::UniqueSafeArray;

std::optional<uint32_t> NumberValue(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::wstring TextValue(HKEY key, const wchar_t* name) {
    DWORD size = 0;
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS) return {};
    text.resize(std::wcslen(text.c_str()));
    return text;
}

std::wstring KeyOf(const AddInRegistration& registration) {
    return std::wstring(office::kAddInsKey) + L"\\" + registration.progId;
}

bool WriteLoadBehavior(const AddInRegistration& registration, uint32_t value) {
    qlora::win::UniqueHKey key;
    const DWORD data = value;
    return ::RegOpenKeyExW(registration.root, KeyOf(registration).c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS &&
           ::RegSetValueExW(key.get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof(data)) == ERROR_SUCCESS;
}

// Calls an add-in method with the empty custom array Office passes; the add-in may replace it.
template <class Method>
HRESULT WithCustom(Method method) {
    UniqueSafeArray custom(::SafeArrayCreateVector(VT_VARIANT, 0, 0));
    SAFEARRAY* passed = custom.release();
    const HRESULT hr = method(&passed);
    custom.reset(passed);
    return hr;
}

// The AddIn object Word passes to OnConnection (Office's COMAddIn).
struct ComAddIn {
    std::wstring progId;
    std::wstring description;
    std::wstring guid;
    bool connected = false;
};

constexpr com::Member<ComAddIn> kComAddInMembers[] = {
    {L"COMAddIn", L"ProgId", 1, com::Kind::Get, [](auto& a, const com::Request&) -> com::Value { return a.progId; }},
    {L"COMAddIn", L"Description", 2, com::Kind::Get, [](auto& a, const com::Request&) -> com::Value { return a.description; }},
    {L"COMAddIn", L"Guid", 3, com::Kind::Get, [](auto& a, const com::Request&) -> com::Value { return a.guid; }},
    {L"COMAddIn", L"Connect", 4, com::Kind::Get, [](auto& a, const com::Request&) -> com::Value { return a.connected; }},
};
constexpr com::Automation<ComAddIn> kComAddIn{L"COMAddIn", kComAddInMembers};
static_assert(com::Complete(kComAddIn));

std::wstring GuidText(const CLSID& clsid) {
    wchar_t text[40] = {};
    return ::StringFromGUID2(clsid, text, 40) > 0 ? text : L"";
}

}  // namespace

std::wstring Hex(HRESULT hr) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text = L"0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(static_cast<uint32_t>(hr) >> shift) & 0xF];
    return text;
}

std::wstring Shown(HRESULT hr) {
    std::wstring message = qlora::win::SystemMessage(static_cast<DWORD>(hr));
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return Hex(hr) + (message.empty() ? L"" : L" " + message);
}

std::vector<AddInRegistration> RegisteredAddIns() {
    std::vector<AddInRegistration> found;
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        qlora::win::UniqueHKey addIns;
        if (::RegOpenKeyExW(root, office::kAddInsKey, 0, KEY_READ, addIns.put()) != ERROR_SUCCESS) continue;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256] = {};  // key names hold at most 255 characters
            DWORD length = 256;
            const LONG result = ::RegEnumKeyExW(addIns.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_NO_MORE_ITEMS) break;
            if (result != ERROR_SUCCESS) continue;
            const std::wstring progId(name, length);
            const bool hidden = std::any_of(found.begin(), found.end(),
                                            [&](const AddInRegistration& r) { return EqualsNoCase(r.progId, progId); });
            qlora::win::UniqueHKey key;
            if (hidden || ::RegOpenKeyExW(addIns.get(), name, 0, KEY_READ, key.put()) != ERROR_SUCCESS) continue;
            found.push_back({root, progId, TextValue(key.get(), L"FriendlyName"), TextValue(key.get(), L"Description"),
                             NumberValue(key.get(), L"LoadBehavior")});
        }
    }
    return found;
}

struct AddInHost::Connection {
    AddInRegistration registration;
    ComPtr<IDTExtensibility2> addIn;
    std::shared_ptr<ComAddIn> record;
    ComPtr<IDispatch> addInInst;
    UniqueModule module;  // held so that the DLL can be asked whether it may unload once released
};

AddInHost::AddInHost(com::Face& face, Print print)
    : face_(face), print_(print), application_(face.Application()), ribbon_(std::move(print)) {}

AddInHost::~AddInHost() {
    try {
        Shutdown();
    } catch (...) {  // a host going away has nobody left to tell
    }
}

void AddInHost::Startup(const std::function<void()>& beforeComplete) {
    for (const auto& registration : RegisteredAddIns()) {
        const std::wstring name = L"add-in " + registration.progId + L": ";
        if (!registration.loadBehavior) {
            print_(name + L"LoadBehavior is missing or not a REG_DWORD: not loaded");
            continue;
        }
        const uint32_t loadBehavior = *registration.loadBehavior;
        if (!office::ConnectsAtStartup(loadBehavior)) {
            print_(name + L"LoadBehavior " + Decimal(loadBehavior) + L": not loaded at start-up");
            continue;
        }
        const bool connected = ConnectOne(registration, office::kStartup);
        if (const auto after = office::LoadBehaviorAfterStartup(loadBehavior, connected)) {
            const bool written = WriteLoadBehavior(registration, *after);
            print_(name + (written ? L"LoadBehavior set to " : L"LoadBehavior could not be set to ") + Decimal(*after));
        }
    }
    if (beforeComplete) beforeComplete();
    for (const auto& connection : connections_) {
        const HRESULT hr = WithCustom([&](SAFEARRAY** custom) { return connection->addIn->OnStartupComplete(custom); });
        if (FAILED(hr)) print_(L"add-in " + connection->registration.progId + L": OnStartupComplete failed: " + Shown(hr));
    }
}

void AddInHost::Connect(const std::wstring& progId) {
    if (!application_) throw std::logic_error("wordsim: Word has quit");
    if (Find(progId) != connections_.end())
        throw std::invalid_argument("wordsim: add-in " + qlora::text::ToUtf8(progId) + " is connected already");
    const auto registrations = RegisteredAddIns();
    const auto found = std::find_if(registrations.begin(), registrations.end(),
                                    [&](const AddInRegistration& r) { return EqualsNoCase(r.progId, progId); });
    if (found == registrations.end())
        throw std::invalid_argument("wordsim: add-in " + qlora::text::ToUtf8(progId) +
                                    " is not registered under the Office add-in key");
    ConnectOne(*found, office::kAfterStartup);
}

void AddInHost::Disconnect(const std::wstring& progId) {
    const auto found = Find(progId);
    if (found == connections_.end())
        throw std::invalid_argument("wordsim: add-in " + qlora::text::ToUtf8(progId) + " is not connected");
    auto connection = std::move(*found);
    connections_.erase(found);
    const HRESULT hr = WithCustom(
        [&](SAFEARRAY** custom) { return connection->addIn->OnDisconnection(office::kUserClosed, custom); });
    if (FAILED(hr)) print_(L"add-in " + progId + L": OnDisconnection failed: " + Shown(hr));
    Release(*connection);
}

void AddInHost::Shutdown() {
    if (!application_) return;
    for (const auto& connection : connections_) {
        const HRESULT hr = WithCustom([&](SAFEARRAY** custom) { return connection->addIn->OnBeginShutdown(custom); });
        if (FAILED(hr)) print_(L"add-in " + connection->registration.progId + L": OnBeginShutdown failed: " + Shown(hr));
    }
    auto connections = std::move(connections_);
    connections_.clear();
    for (const auto& connection : connections) {
        const HRESULT hr = WithCustom(
            [&](SAFEARRAY** custom) { return connection->addIn->OnDisconnection(office::kHostShutdown, custom); });
        if (FAILED(hr)) print_(L"add-in " + connection->registration.progId + L": OnDisconnection failed: " + Shown(hr));
        Release(*connection);
    }
    application_.Reset();
    if (const long held = face_.LiveObjects(); held > 0)
        print_(L"Word objects still held after quit: " + Decimal(held));
}

std::vector<std::wstring> AddInHost::Connected() const {
    std::vector<std::wstring> names;
    for (const auto& connection : connections_) names.push_back(connection->registration.progId);
    return names;
}

// A class registered for this user only (HKCU\Software\Classes, as `regsvr32 /n /i:user` writes
// it), made from its in-process server as COM would. Windows finds such classes itself and before
// the machine's, a 32-bit Word in the 32-bit view of them; Wine's COM does not look there, so
// wordsim does.
struct PerUserClass {
    CLSID clsid{};
    std::wstring server;
};

std::optional<PerUserClass> FindPerUserClass(const std::wstring& progId) {
    const auto read = [](const std::wstring& key) {
        qlora::win::UniqueHKey opened;
        if (!qlora::win::OpenUserClassKey(qlora::win::ThisProcessView(), key, KEY_QUERY_VALUE, opened))
            return std::wstring();
        return TextValue(opened.get(), nullptr);
    };
    PerUserClass found;
    const std::wstring clsid = read(progId + L"\\CLSID");
    if (clsid.empty() || FAILED(::CLSIDFromString(clsid.c_str(), &found.clsid))) return std::nullopt;
    found.server = read(L"CLSID\\" + clsid + L"\\InprocServer32");
    if (found.server.empty()) return std::nullopt;
    return found;
}

// The server stays loaded through `server` for as long as the caller holds it.
HRESULT CreateFromServer(const PerUserClass& found, ComPtr<IUnknown>& created, UniqueModule& server) {
    server.reset(::LoadLibraryW(found.server.c_str()));
    if (!server) return HRESULT_FROM_WIN32(::GetLastError());
    const auto getClassObject = qlora::win::ExportOf<decltype(::DllGetClassObject)>(server.get(), "DllGetClassObject");
    if (!getClassObject) return CO_E_ERRORINDLL;
    ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(found.clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_PPV_ARGS(&created));
    return hr;
}

bool AddInHost::ConnectOne(const AddInRegistration& registration, int32_t mode) {
    const std::wstring name = L"add-in " + registration.progId + L": ";
    const auto fail = [&](const std::wstring& what, HRESULT hr) {
        print_(name + what + L": " + Shown(hr));
        return false;
    };
    CLSID clsid{};
    const auto perUser = FindPerUserClass(registration.progId);
    HRESULT hr = perUser ? S_OK : ::CLSIDFromProgID(registration.progId.c_str(), &clsid);
    if (FAILED(hr)) return fail(L"not registered as a COM class", hr);
    if (perUser) clsid = perUser->clsid;
    auto connection = std::make_unique<Connection>();
    connection->registration = registration;
    // Creates and connects the add-in; why it did not connect, or nothing when it did.
    const auto createAndConnect = [&]() -> std::wstring {
        {
            ComPtr<IUnknown> created;
            hr = perUser ? CreateFromServer(*perUser, created, connection->module)
                         : ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&created));
            if (FAILED(hr)) return L"cannot be created";
            hr = created->QueryInterface(kIDTExtensibility2, reinterpret_cast<void**>(connection->addIn.GetAddressOf()));
            if (FAILED(hr)) return L"is not a COM add-in (no IDTExtensibility2)";
        }  // from here on Word holds the add-in by its connection interface only
        // The object's interface table lies in the module that made it.
        HMODULE module = nullptr;
        if (!connection->module &&
            ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                 reinterpret_cast<LPCWSTR>(*reinterpret_cast<void**>(connection->addIn.Get())), &module))
            connection->module.reset(module);
        connection->record = std::make_shared<ComAddIn>(
            ComAddIn{registration.progId, registration.description, GuidText(clsid), true});
        connection->addInInst = com::MakeObject(kComAddIn, connection->record, face_.State());
        hr = WithCustom([&](SAFEARRAY** custom) {
            return connection->addIn->OnConnection(application_.Get(), mode, connection->addInInst.Get(), custom);
        });
        return FAILED(hr) ? L"OnConnection failed, not loaded" : L"";
    };
    std::wstring failure;
    const Cost cost = CostOf([&] { return face_.Calls(); }, [&] { failure = createAndConnect(); });
    if (!failure.empty()) {
        fail(failure, hr);
        if (connection->addIn) Release(*connection);
        return false;
    }
    loads_.push_back({registration.progId, cost});
    print_(name + (mode == office::kStartup ? L"connected at start-up" : L"connected"));
    // As Office does, the Ribbon asks the add-in for its customization once it is connected.
    ribbon_.Load(registration.progId, connection->addIn.Get());
    connections_.push_back(std::move(connection));
    return true;
}

void AddInHost::Release(Connection& connection) {
    ribbon_.Unload(connection.registration.progId);
    connection.record->connected = false;
    connection.addInInst.Reset();
    connection.addIn.Reset();
    const std::wstring name = L"add-in " + connection.registration.progId + L": released";
    const auto canUnloadNow =
        connection.module ? qlora::win::ExportOf<decltype(::DllCanUnloadNow)>(connection.module.get(), "DllCanUnloadNow") : nullptr;
    if (canUnloadNow) {
        const HRESULT hr = canUnloadNow();
        const std::wstring answer = hr == S_FALSE ? L"S_FALSE" : Shown(hr);
        print_(name + (hr == S_OK ? L"; its DLL can unload"
                                  : L"; its DLL still has live objects (DllCanUnloadNow answers " + answer + L")"));
    } else {
        print_(name);
    }
    connection.module.reset();
}

std::vector<std::unique_ptr<AddInHost::Connection>>::iterator AddInHost::Find(const std::wstring& progId) {
    return std::find_if(connections_.begin(), connections_.end(),
                        [&](const auto& c) { return EqualsNoCase(c->registration.progId, progId); });
}

}  // namespace wordsim

#include "addin/com_server_win.h"

#include <initguid.h>

#include "QloraWordAddIn.h"
#include "addin/com_classes_win.h"
#include "base/text.h"
#include "session/global.h"
#include "win/class_views_win.h"
#include "win/win32_win.h"
#include "win/com_object_win.h"

#include <olectl.h>

#include <array>
#include <atomic>
#include <new>

namespace qlora::com {
namespace {

std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};

// The interfaces whose registration is the add-in's own (Office's IDTExtensibility2 is not).
struct InterfaceEntry {
    const wchar_t* name;
    const IID& iid;
    bool dispinterface;
};

const std::array<InterfaceEntry, 10> kInterfaces{{
    {L"_Connect", __uuidof(_Connect), false},
    {L"_clsWordAddIn", __uuidof(_clsWordAddIn), false},
    {L"_clsWord", __uuidof(_clsWord), false},
    {L"_clsWildCardBtn", __uuidof(_clsWildCardBtn), false},
    {L"_clsTemplateList", __uuidof(_clsTemplateList), false},
    {L"__clsTemplateList", DIID___clsTemplateList, true},
    {L"_clsOperatingSystem", __uuidof(_clsOperatingSystem), false},
    {L"_clsFileOps", __uuidof(_clsFileOps), false},
    {L"_clsConcatenation", __uuidof(_clsConcatenation), false},
    {L"_clsCommandBar", __uuidof(_clsCommandBar), false},
}};

// Marshalling through the type library (oleaut32's universal marshaler) and plain dispatch.
constexpr wchar_t kTypeLibMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kDispatchMarshaler[] = L"{00020420-0000-0000-C000-000000000046}";

std::wstring GuidText(REFGUID guid) {
    wchar_t buffer[40] = {};
    ::StringFromGUID2(guid, buffer, 40);
    return buffer;
}

class ClassFactory final : public ServerObject<IClassFactory> {
public:
    explicit ClassFactory(const ClassEntry& entry) noexcept : entry_(entry) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        // The start routine runs before the first object's first method.
        basGlobal::EnsureStarted();
        return entry_.create(riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        com::LockServer(lock != FALSE);
        return S_OK;
    }

private:
    const ClassEntry& entry_;
};

// Registry writing for registration: wide text, keys created as needed, RAII handles. Per user,
// every key goes where programs of this process's bitness look for it (common/class_views_win.h);
// per machine, the system's redirector places it.
class RegistryWriter {
public:
    explicit RegistryWriter(Scope scope)
        : perUser_(scope == Scope::User),
          root_(perUser_ ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE),
          view_(perUser_ ? win::ThisProcessView() : classes::View::Native) {}

    void Set(const std::wstring& key, const wchar_t* name, const std::wstring& value) const {
        win::UniqueHKey handle;
        const std::wstring path = Path(key, view_);
        LSTATUS status = ::RegCreateKeyExW(root_, path.c_str(), 0, nullptr, 0, Access(KEY_SET_VALUE), nullptr,
                                           handle.put(), nullptr);
        if (status != ERROR_SUCCESS) win::ThrowWin32(static_cast<DWORD>(status), L"RegCreateKeyEx " + path);
        status = ::RegSetValueExW(handle.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS) win::ThrowWin32(static_cast<DWORD>(status), L"RegSetValueEx " + path);
    }

    // Deletes a key and everything below it; a key that is not there is fine.
    void DeleteTree(const std::wstring& key) const {
        const std::wstring path = Path(key, view_);
        win::UniqueHKey handle;
        LSTATUS status = ::RegOpenKeyExW(root_, path.c_str(), 0, Access(KEY_READ | KEY_WRITE | DELETE), handle.put());
        if (status == ERROR_SUCCESS) status = ::RegDeleteTreeW(handle.get(), nullptr);
        handle.reset();
        if (status == ERROR_SUCCESS) status = ::RegDeleteKeyExW(root_, path.c_str(), Access(0), 0);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            win::ThrowWin32(static_cast<DWORD>(status), L"RegDeleteTree " + path);
    }

    // Deletes a key only when nothing is left in it (a parent other versions may share).
    void DeleteIfEmpty(const std::wstring& key) const {
        const std::wstring path = Path(key, view_);
        win::UniqueHKey handle;
        if (::RegOpenKeyExW(root_, path.c_str(), 0, Access(KEY_READ), handle.put()) != ERROR_SUCCESS) return;
        DWORD subkeys = 0, values = 0;
        if (::RegQueryInfoKeyW(handle.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        handle.reset();
        if (subkeys == 0 && values == 0) ::RegDeleteKeyExW(root_, path.c_str(), Access(0), 0);
    }

    bool Exists(const std::wstring& key) const { return ExistsIn(key, view_); }

    // Whether the other bitness's registration holds `key` (per user; per machine the system's
    // redirector keeps the two apart).
    bool OtherBitnessHolds(const std::wstring& key) const {
        return perUser_ && ExistsIn(key, classes::Other(view_));
    }

private:
    std::wstring Path(const std::wstring& key, classes::View view) const {
        return perUser_ ? win::UserClassPath(view, key) : L"Software\\Classes\\" + key;
    }
    REGSAM Access(REGSAM access) const { return perUser_ ? access | win::kUserClassAccess : access; }
    bool ExistsIn(const std::wstring& key, classes::View view) const {
        win::UniqueHKey handle;
        return ::RegOpenKeyExW(root_, Path(key, view).c_str(), 0, Access(KEY_QUERY_VALUE), handle.put()) ==
               ERROR_SUCCESS;
    }

    bool perUser_;
    HKEY root_;
    classes::View view_;
};

constexpr wchar_t kTypeLibVersion[] = L"1.0";
#ifdef _WIN64
constexpr wchar_t kTypeLibPlatform[] = L"win64";
#else
constexpr wchar_t kTypeLibPlatform[] = L"win32";
#endif

std::wstring LibraryKey() { return L"TypeLib\\" + GuidText(LIBID_QloraWordAddIn); }

void WriteRegistration(const RegistryWriter& reg) {
    const std::wstring dll = win::ModulePath(win::ThisModule());
    const std::wstring folder = win::ThisModuleFolder();
    const std::wstring libid = GuidText(LIBID_QloraWordAddIn);

    const std::wstring lib = LibraryKey() + L"\\" + kTypeLibVersion;
    reg.Set(lib, nullptr, L"Quillora TemplateEditor add-in for Microsoft Word");
    reg.Set(lib + L"\\0\\" + kTypeLibPlatform, nullptr, dll);
    reg.Set(lib + L"\\FLAGS", nullptr, L"0");
    reg.Set(lib + L"\\HELPDIR", nullptr, folder);

    for (const auto& c : kClasses) {
        const std::wstring progId = std::wstring(kLibraryName) + L"." + c.name;
        const std::wstring clsid = L"CLSID\\" + GuidText(c.clsid);
        reg.Set(clsid, nullptr, progId);
        reg.Set(clsid + L"\\InprocServer32", nullptr, dll);
        reg.Set(clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        reg.Set(clsid + L"\\ProgID", nullptr, progId);
        reg.Set(clsid + L"\\VERSION", nullptr, kTypeLibVersion);
        reg.Set(clsid + L"\\TypeLib", nullptr, libid);
        reg.Set(progId, nullptr, progId);
        reg.Set(progId + L"\\CLSID", nullptr, GuidText(c.clsid));
    }
    for (const auto& i : kInterfaces) {
        const std::wstring key = L"Interface\\" + GuidText(i.iid);
        const wchar_t* marshaler = i.dispinterface ? kDispatchMarshaler : kTypeLibMarshaler;
        reg.Set(key, nullptr, i.name);
        reg.Set(key + L"\\ProxyStubClsid", nullptr, marshaler);
        reg.Set(key + L"\\ProxyStubClsid32", nullptr, marshaler);
        reg.Set(key + L"\\TypeLib", nullptr, libid);
        reg.Set(key + L"\\TypeLib", L"Version", kTypeLibVersion);
    }
}

void RemoveRegistration(const RegistryWriter& reg) {
    // ProgIDs and the type library are one copy for both bitnesses: they stay while the other
    // bitness's registration still uses them.
    for (const auto& c : kClasses) {
        const std::wstring clsid = L"CLSID\\" + GuidText(c.clsid);
        reg.DeleteTree(clsid);
        if (!reg.OtherBitnessHolds(clsid)) reg.DeleteTree(std::wstring(kLibraryName) + L"." + c.name);
    }
    for (const auto& i : kInterfaces) reg.DeleteTree(L"Interface\\" + GuidText(i.iid));
    const std::wstring version = LibraryKey() + L"\\" + kTypeLibVersion;
    reg.DeleteTree(version + L"\\0\\" + kTypeLibPlatform);
    reg.DeleteIfEmpty(version + L"\\0");
    if (!reg.Exists(version + L"\\0")) reg.DeleteTree(version);
    reg.DeleteIfEmpty(LibraryKey());
    // Folders that registration created in an empty per-user branch go again when empty.
    for (const wchar_t* parent : {L"CLSID", L"Interface", L"TypeLib"}) reg.DeleteIfEmpty(parent);
}

}  // namespace

void ObjectCreated() noexcept { ++gObjects; }
void ObjectDestroyed() noexcept { --gObjects; }
void LockServer(bool lock) noexcept { lock ? ++gLocks : --gLocks; }
long LiveObjects() noexcept { return gObjects; }
bool CanUnloadNow() noexcept { return gObjects == 0 && gLocks == 0; }

HRESULT TypeInfoOf(REFGUID guid, ITypeInfo** info) noexcept {
    static ComPtr<ITypeLib> library = [] {
        ComPtr<ITypeLib> loaded;
        ::LoadTypeLibEx(win::ModulePath(win::ThisModule()).c_str(), REGKIND_NONE, &loaded);
        return loaded;
    }();
    if (!info) return E_POINTER;
    *info = nullptr;
    return library ? library->GetTypeInfoOfGuid(guid, info) : TYPE_E_CANTLOADLIBRARY;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const auto& entry : kClasses) {
        if (clsid != entry.clsid) continue;
        auto* factory = new (std::nothrow) ClassFactory(entry);
        if (!factory) return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(riid, object);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT Register(Scope scope) noexcept {
    const RegistryWriter reg(scope);
    const HRESULT hr = Serve([&] { WriteRegistration(reg); });
    if (FAILED(hr)) Serve([&] { RemoveRegistration(reg); });  // nothing half-registered stays behind
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_CLASS;
}

HRESULT Unregister(Scope scope) noexcept {
    const RegistryWriter reg(scope);
    return SUCCEEDED(Serve([&] { RemoveRegistration(reg); })) ? S_OK : SELFREG_E_CLASS;
}

HRESULT Install(bool install, const wchar_t* commandLine) noexcept {
    const Scope scope = commandLine && ::lstrcmpiW(commandLine, L"user") == 0 ? Scope::User : Scope::Machine;
    return install ? Register(scope) : Unregister(scope);
}

}  // namespace qlora::com

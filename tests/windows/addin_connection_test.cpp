// The add-in DLL connected to a Word over real COM: wordsim's automation objects stand for Word,
// the DLL is loaded and driven through IDTExtensibility2 as Word drives it.
#include <gtest/gtest.h>
#include <windows.h>
#include <ocidl.h>
#include <psapi.h>
#include <winternl.h>
#include <wrl/client.h>

#include <algorithm>
#include <initguid.h>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "addin_host_win.h"
#include "base/text.h"
#include "com_face_win.h"
#include "win/win32_win.h"
#include "win_test_util.h"
#include "word_model.h"

namespace qlora {
namespace {

using Microsoft::WRL::ComPtr;

DEFINE_GUID(kConnectClsid, 0xFEC3BE41, 0xF1BD, 0x4ED7, 0xB8, 0x5F, 0xE1, 0x3B, 0x89, 0xDB, 0x91, 0x8E);
constexpr IID kListEvents = {0x44D28D0E, 0x9918, 0x47A7, {0xA6, 0x93, 0x54, 0x83, 0x59, 0x63, 0xB0, 0x6F}};
constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Tandrel\\Quillora\\Settings\\WordAddIn";

std::wstring ReadSetting(const wchar_t* name) {
    wchar_t buffer[64] = {};
    DWORD size = sizeof(buffer);
    ::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size);
    return buffer;
}

// What the process holds of Windows: kernel handles, windows (top-level and message-only) and
// committed private memory. Wine answers GetProcessHandleCount with 0, so handles are counted in
// the system's handle table and windows one by one; GDI objects, which Wine does not count, not.
struct ProcessUse {
    long handles = 0;
    long windows = 0;
    long long privateBytes = 0;

    static ProcessUse Now() {
        PROCESS_MEMORY_COUNTERS memory{sizeof(memory)};
        ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
        return {OwnHandles(), OwnWindows(), static_cast<long long>(memory.PagefileUsage)};
    }

private:
    static long OwnHandles() {
        struct Entry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
            ULONG process;
            BYTE type;
            BYTE flags;
            USHORT value;
            PVOID object;
            ULONG access;
        };
        constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
        constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
        std::vector<ULONG_PTR> buffer(1 << 16);  // aligned for the entries' pointers
        ULONG length = 0;
        NTSTATUS status = 0;
        while ((status = ::NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                                    static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &length)) ==
               kInfoLengthMismatch)
            buffer.resize(buffer.size() * 2);
        if (status != 0) return -1;
        const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
        const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + 1);
        return static_cast<long>(std::count_if(entries, entries + count,
                                               [](const Entry& e) { return e.process == ::GetCurrentProcessId(); }));
    }
    static long OwnWindows() {
        long count = 0;
        for (const HWND parent : {HWND_MESSAGE, HWND{}})
            for (HWND window = nullptr; (window = ::FindWindowExW(parent, window, nullptr, nullptr));) {
                DWORD process = 0;
                ::GetWindowThreadProcessId(window, &process);
                count += process == ::GetCurrentProcessId();
            }
        return count;
    }
};

// The growth from `before` to now stays within a small constant; prints what was measured.
void ExpectNoGrowth(const char* what, const ProcessUse& before) {
    const ProcessUse after = ProcessUse::Now();
    std::cout << what << ": handles " << before.handles << " -> " << after.handles << ", windows " << before.windows
              << " -> " << after.windows << ", private bytes " << before.privateBytes << " -> " << after.privateBytes
              << "\n";
    EXPECT_LE(after.handles - before.handles, 8) << what;
    EXPECT_GT(after.handles, 0) << "the handle table cannot be read";
    EXPECT_LE(after.windows - before.windows, 1) << what;
    EXPECT_LE(after.privateBytes - before.privateBytes, 2 << 20) << what;  // heap noise, not a leak per cycle
}

class AddinConnection : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        dll_.reset(::LoadLibraryW(testing::AddInDll().c_str()));
        ASSERT_TRUE(dll_);
        getClassObject_ = win::ExportOf<decltype(::DllGetClassObject)>(dll_.get(), "DllGetClassObject");
        canUnloadNow_ = win::ExportOf<decltype(::DllCanUnloadNow)>(dll_.get(), "DllCanUnloadNow");
        ASSERT_TRUE(getClassObject_ && canUnloadNow_);
        ::DeleteFileW(testing::ModuleLogPath().c_str());
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        ::DeleteFileW(testing::ModuleLogPath().c_str());
    }

    // A new object of one of the DLL's classes, the class factory let go again.
    template <class Interface>
    ComPtr<Interface> Create(const CLSID& clsid) {
        ComPtr<IClassFactory> factory;
        ComPtr<Interface> object;
        EXPECT_EQ(getClassObject_(clsid, IID_PPV_ARGS(factory.GetAddressOf())), S_OK);
        if (factory) {
            EXPECT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(object.GetAddressOf())), S_OK);
        }
        return object;
    }
    ComPtr<wordsim::IDTExtensibility2> NewConnect() { return Create<wordsim::IDTExtensibility2>(kConnectClsid); }

    win::UniqueModule dll_;
    decltype(::DllGetClassObject)* getClassObject_ = nullptr;
    decltype(::DllCanUnloadNow)* canUnloadNow_ = nullptr;
    std::shared_ptr<wordsim::Word> word_ = std::make_shared<wordsim::Word>();
    wordsim::com::Face face_{word_};
    SAFEARRAY* custom_ = nullptr;
};

// Word's events and the timer drive the connected add-in: a new document builds the toolbar, and
// the timer stores the toolbar's position within a tick or two.
TEST_F(AddinConnection, ConnectingSetsUpTheAddinAndWordsEventsAndTimerDriveIt) {
    auto connect = NewConnect();
    ASSERT_EQ(connect->OnConnection(face_.Application().Get(), 1, nullptr, &custom_), S_OK);
    word_->NewDocument();
    EXPECT_NE(word_->FindControl(L"Quillora Toolbar/Insert wildcard/Subject"), nullptr) << word_->DumpToolbars();
    // The thread's message loop runs the add-in's timer, for 15 seconds at the most.
    for (const ULONGLONG deadline = ::GetTickCount64() + 15000;
         ReadSetting(L"BarPosition") != L"3" && ::GetTickCount64() < deadline;) {
        for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    EXPECT_EQ(ReadSetting(L"BarPosition"), L"3");
    ASSERT_EQ(connect->OnDisconnection(0, &custom_), S_OK);
    EXPECT_EQ(testing::ModuleLog(), "");
}

TEST_F(AddinConnection, EveryClassGoesWithItsLastReferenceAndTheDllMayUnload) {
    for (const wchar_t* text : testing::kClsids) {
        SCOPED_TRACE(text::ToUtf8(text));
        CLSID clsid{};
        ASSERT_EQ(::CLSIDFromString(text, &clsid), S_OK);
        auto object = Create<IUnknown>(clsid);
        ASSERT_TRUE(object);
        EXPECT_EQ(canUnloadNow_(), S_FALSE);
        // The template list's event source is part of it and goes with it.
        if (ComPtr<IConnectionPointContainer> events; SUCCEEDED(object.As(&events))) {
            ComPtr<IConnectionPoint> point;
            EXPECT_EQ(events->FindConnectionPoint(kListEvents, &point), S_OK);
        }
        object.Reset();
        EXPECT_EQ(canUnloadNow_(), S_OK);
    }
    void* none = reinterpret_cast<void*>(1);  // a class it does not have: refused, nothing handed out
    EXPECT_EQ(getClassObject_(CLSID_NULL, IID_IUnknown, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
}

// A long day in one Word: 1,000 connections and 10,000 insertions leave no Word object, handle,
// window or memory behind beyond a small constant, and each refused call is reported in the log
// while Word goes on.
TEST_F(AddinConnection, SoakOfManyConnectionsAndInsertionsLeavesNothingBehind) {
    auto connect = NewConnect();
    word_->NewDocument();
    const auto cycle = [&](int i) {
        ASSERT_EQ(connect->OnConnection(face_.Application().Get(), i % 2, nullptr, &custom_), S_OK);
        word_->ActivateDocument(1);  // DocumentChange: the toolbar is checked and kept
        word_->NewDocument();
        word_->CloseDocument();
        ASSERT_EQ(connect->OnDisconnection(i % 2, &custom_), S_OK);
        ASSERT_EQ(face_.LiveObjects(), 0) << "cycle " << i;
    };
    for (int i = 0; i < 20; ++i) cycle(i);  // first-time work: type information, caches
    const ProcessUse beforeCycles = ProcessUse::Now();
    for (int i = 0; i < 1000 && !HasFatalFailure(); ++i) cycle(i);
    ExpectNoGrowth("1,000 connections", beforeCycles);

    ASSERT_EQ(connect->OnConnection(face_.Application().Get(), 1, nullptr, &custom_), S_OK);
    constexpr wchar_t kSubject[] = L"Quillora Toolbar/Insert wildcard/Subject";
    int refused = 0;
    // Ten wildcards a document, then it closes; Word refuses the last insertion of every tenth one.
    const auto insertInDocuments = [&](int documents) {
        for (int d = 0; d < documents; ++d) {
            word_->NewDocument();
            const bool refuse = d % 10 == 9;
            for (int w = 0; w < 10; ++w) {
                if (refuse && w == 9) word_->Refuse(L"Bookmarks.Add");
                ASSERT_TRUE(word_->Click(kSubject));
            }
            word_->Allow(L"Bookmarks.Add");
            refused += refuse;
            ASSERT_EQ(word_->DocumentAt(word_->DocumentCount())->bookmarks.size(), 10u - refuse);
            word_->CloseDocument();
        }
    };
    insertInDocuments(10);
    const ProcessUse beforeInsertions = ProcessUse::Now();
    insertInDocuments(990);
    ExpectNoGrowth("10,000 insertions", beforeInsertions);
    EXPECT_EQ(refused, 100);
    ASSERT_EQ(connect->OnDisconnection(0, &custom_), S_OK);
    connect.Reset();
    EXPECT_EQ(face_.LiveObjects(), 0);
    EXPECT_EQ(canUnloadNow_(), S_OK);

    // Every refusal reached the log, and nothing else did.
    const std::string log = testing::ModuleLog();
    EXPECT_EQ(testing::Occurrences(log, "  Method: "), 100u);
    EXPECT_EQ(testing::Occurrences(log, "  Method: clsWildCardBtn.AddBookmark \r\n  Number: 4198 "), 100u)
        << log.substr(0, 2000);
}

}  // namespace
}  // namespace qlora

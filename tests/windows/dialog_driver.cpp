#include "dialog_driver.h"

#include <gtest/gtest.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <utility>

#include "common/text.h"
#include "common/win32_win.h"

namespace qlora::testing {
namespace {

constexpr UINT kTickMilliseconds = 20;
constexpr int kPatience = 3000;  // ticks a step waits for its window before the test gives up

thread_local DialogDriver* gDriver = nullptr;

// Window enumeration callbacks are stdcall on x86, which a lambda cannot be.
BOOL CALLBACK CollectVisible(HWND window, LPARAM found) {
    if (::IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectAll(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> AllThreadWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectAll, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

}  // namespace

DialogDriver::DialogDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
    gDriver = this;
    timer_ = ::SetTimer(nullptr, 0, kTickMilliseconds, &Tick);
}

DialogDriver::~DialogDriver() {
    ::KillTimer(nullptr, timer_);
    gDriver = nullptr;
    EXPECT_TRUE(Finished()) << "the dialogs ended before step " << next_ + 1 << " of " << steps_.size();
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (gDriver) gDriver->RunStep();
}

void DialogDriver::RunStep() {
    if (Finished()) return;
    const Step& step = steps_[next_];
    const HWND window = FindThreadWindow(step.title);
    if (!window) {
        if (++attempts_ < kPatience) return;
        ADD_FAILURE() << "no window \"" << text::ToUtf8(step.title) << "\" showed for step " << next_ + 1;
        next_ = steps_.size();
        for (const HWND open : ThreadWindows()) {
            // Cancel ends dialogs, message boxes and the file dialogs alike.
            if (ClassOf(open) == L"#32770") ::PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
            else ::PostMessageW(open, WM_CLOSE, 0, 0);
        }
        return;
    }
    // Done before it acts: the act may open the next step's window and run its loop.
    ++next_;
    attempts_ = 0;
    step.act(window);
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindThreadWindow(const std::wstring& title) {
    for (const HWND window : ThreadWindows())
        if (WindowText(window) == title) return window;
    return nullptr;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring MessageText(HWND box) {
    std::wstring text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != L"Static") continue;
        const std::wstring line = WindowText(child);
        if (line.empty()) continue;
        if (!text.empty()) text += L"\n";
        text += line;
    }
    return text;
}

void Press(HWND dialog, int id) {
    const HWND button = ::GetDlgItem(dialog, id);
    ASSERT_TRUE(button && ::IsWindowEnabled(button)) << "button " << id << " cannot be pressed";
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

std::wstring ToolTipOf(HWND dialog, int id) {
    for (const HWND window : AllThreadWindows()) {
        if (ClassOf(window) != TOOLTIPS_CLASSW || ::GetWindow(window, GW_OWNER) != dialog) continue;
        wchar_t buffer[512] = {};
        TTTOOLINFOW tool{sizeof(tool)};
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(dialog, id));
        tool.lpszText = buffer;
        ::SendMessageW(window, TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&tool));
        if (buffer[0]) return buffer;
    }
    return {};
}

std::vector<std::wstring> ListEntries(HWND list) {
    std::vector<std::wstring> entries;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[256] = {};
        ListView_GetItemText(list, i, 0, buffer, 256);
        entries.emplace_back(buffer);
    }
    return entries;
}

std::optional<int> ListSelection(HWND list) {
    const int index = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    return index < 0 ? std::nullopt : std::optional<int>(index + 1);
}

void SelectEntry(HWND list, int index) {
    ListView_SetItemState(list, index - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void DragEntry(HWND dialog, int fromList, int item, int toList, int row) {
    const HWND from = ::GetDlgItem(dialog, fromList);
    const HWND to = ::GetDlgItem(dialog, toList);
    SelectEntry(from, item);  // the mouse going down on the entry selects it
    NMLISTVIEW begin{};
    begin.hdr = {from, static_cast<UINT_PTR>(fromList), LVN_BEGINDRAG};
    begin.iItem = item - 1;
    ::SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(fromList), reinterpret_cast<LPARAM>(&begin));

    RECT place{};
    POINT drop{};
    if (row <= ListView_GetItemCount(to)) {
        ListView_GetItemRect(to, row - 1, &place, LVIR_BOUNDS);
        drop = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    } else {
        ::GetClientRect(to, &place);
        drop = {(place.left + place.right) / 2, place.bottom - 3};
    }
    ::MapWindowPoints(to, dialog, &drop, 1);
    ::SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
}

void SavePicture(HWND window, const std::wstring& path) {
    using Microsoft::WRL::ComPtr;
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    const win::WindowDc source(window, true);
    const win::UniqueBitmap bitmap(::CreateDIBSection(source.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        const win::UniqueMemoryDc memory(::CreateCompatibleDC(source.get()));
        const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        ::SelectObject(memory.get(), previous);
    }

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID pixels = GUID_WICPixelFormat32bppBGR;
    HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height));
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&pixels);
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width) * 4,
                                static_cast<UINT>(width * height * 4), static_cast<BYTE*>(bits));
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    EXPECT_TRUE(SUCCEEDED(hr)) << "writing " << text::ToUtf8(path) << ": " << std::hex << hr;
}

}  // namespace qlora::testing

#include "dialog_answers_win.h"

#include <commctrl.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <utility>

#include "base/error.h"
#include "base/text.h"
#include "settings/program_settings.h"
#include "win/win32_win.h"

namespace wordsim {
namespace {

using Microsoft::WRL::ComPtr;

constexpr UINT kTickMilliseconds = 50;

DialogAnswers* gAnswers = nullptr;  // the one of Word's thread

// Window enumeration callbacks are stdcall on x86, which a lambda cannot be.
BOOL CALLBACK CollectVisible(HWND window, LPARAM found) {
    if (::IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectAll(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A caption as the user reads it: without the accelerator marks.
std::wstring Readable(const std::wstring& caption) { return qlora::text::ReplaceAll(caption, L"&", L""); }

[[noreturn]] void Refuse(const std::wstring& message) { throw qlora::Error(5, L"wordsim", message); }

}  // namespace

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

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring MessageText(HWND box) {
    std::wstring text;
    for (const HWND child : Children(box)) {
        if (ClassOf(child) != L"Static") continue;
        const std::wstring line = WindowText(child);
        if (line.empty()) continue;
        if (!text.empty()) text += L"\n";
        text += line;
    }
    return text;
}

std::wstring ToolTipOf(HWND dialog, HWND control) {
    std::vector<HWND> all;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectAll, reinterpret_cast<LPARAM>(&all));
    for (const HWND window : all) {
        if (ClassOf(window) != TOOLTIPS_CLASSW || ::GetWindow(window, GW_OWNER) != dialog) continue;
        wchar_t buffer[512] = {};
        TTTOOLINFOW tool{sizeof(tool)};
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
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

void SelectEntry(HWND list, int index) {
    ListView_SetItemState(list, index - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void PressButton(HWND dialog, HWND button) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void SavePicture(HWND window, const std::wstring& path) {
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    const qlora::win::WindowDc source(window, true);
    const qlora::win::UniqueBitmap bitmap(
        ::CreateDIBSection(source.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) qlora::win::ThrowLastError(L"CreateDIBSection");
    {
        const qlora::win::UniqueMemoryDc memory(::CreateCompatibleDC(source.get()));
        const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        ::SelectObject(memory.get(), previous);
    }

    using qlora::win::ThrowIfFailed;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID pixels = GUID_WICPixelFormat32bppBGR;
    ThrowIfFailed(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)),
                  L"CoCreateInstance WICImagingFactory");
    ThrowIfFailed(factory->CreateStream(&stream), L"CreateStream");
    ThrowIfFailed(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), L"InitializeFromFilename");
    ThrowIfFailed(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder), L"CreateEncoder");
    ThrowIfFailed(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), L"IWICBitmapEncoder.Initialize");
    ThrowIfFailed(encoder->CreateNewFrame(&frame, nullptr), L"CreateNewFrame");
    ThrowIfFailed(frame->Initialize(nullptr), L"IWICBitmapFrameEncode.Initialize");
    ThrowIfFailed(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)), L"SetSize");
    ThrowIfFailed(frame->SetPixelFormat(&pixels), L"SetPixelFormat");
    ThrowIfFailed(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width) * 4,
                                     static_cast<UINT>(width * height * 4), static_cast<BYTE*>(bits)),
                  L"WritePixels");
    ThrowIfFailed(frame->Commit(), L"IWICBitmapFrameEncode.Commit");
    ThrowIfFailed(encoder->Commit(), L"IWICBitmapEncoder.Commit");
}

DialogAnswers::DialogAnswers(Print print, Click click) : print_(std::move(print)), click_(std::move(click)) {
    gAnswers = this;
}

DialogAnswers::~DialogAnswers() {
    if (timer_) ::KillTimer(nullptr, timer_);
    gAnswers = nullptr;
}

void DialogAnswers::Add(std::wstring title, std::vector<std::wstring> actions) {
    answers_.push_back({std::move(title), std::move(actions)});
    if (!timer_) timer_ = ::SetTimer(nullptr, 0, kTickMilliseconds, &Tick);
}

std::wstring DialogAnswers::TakeTrouble() { return std::exchange(trouble_, {}); }

std::vector<std::wstring> DialogAnswers::Waiting() const {
    std::vector<std::wstring> titles;
    for (const auto& answer : answers_) titles.push_back(answer.title);
    return titles;
}

void CALLBACK DialogAnswers::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (gAnswers) gAnswers->AnswerShownWindows();
}

void DialogAnswers::AnswerShownWindows() {
    // An action may open the next window and run its modal loop, in which this timer ticks again:
    // the answer leaves the queue before its actions run.
    while (!answers_.empty()) {
        const HWND window = FindThreadWindow(answers_.front().title);
        if (!window || !::IsWindowEnabled(window)) return;  // not there yet, or behind its own message box
        const Answer answer = std::move(answers_.front());
        answers_.pop_front();
        for (const auto& action : answer.actions) {
            try {
                Act(window, answer.title, action);
            } catch (const qlora::Error& e) {
                if (!trouble_.empty()) trouble_ += L"; ";
                trouble_ += L"dialog \"" + answer.title + L"\": " + e.Description();
                if (::IsWindow(window)) ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                break;
            }
        }
    }
}

void DialogAnswers::Act(HWND window, const std::wstring& title, const std::wstring& action) {
    print_(L"  dialog \"" + title + L"\": " + action);
    if (!::IsWindow(window)) Refuse(L"the window closed before \"" + action + L"\"");
    const auto blank = action.find(L' ');
    const std::wstring verb = action.substr(0, blank);
    const std::wstring rest = blank == std::wstring::npos ? L"" : action.substr(blank + 1);
    const auto children = Children(window);
    if (verb == L"press") {
        for (const HWND child : children) {
            if (ClassOf(child) != L"Button" || !::IsWindowVisible(child)) continue;
            if (!qlora::text::EqualsNoCase(Readable(WindowText(child)), rest) &&
                !qlora::text::EqualsNoCase(ToolTipOf(window, child), rest))
                continue;
            if (!::IsWindowEnabled(child)) Refuse(L"the button \"" + rest + L"\" is disabled");
            return PressButton(window, child);
        }
        Refuse(L"no button \"" + rest + L"\"");
    }
    if (verb == L"select") {
        for (const HWND child : children) {
            if (ClassOf(child) != WC_LISTVIEWW) continue;
            const auto entries = ListEntries(child);
            const auto found = std::find(entries.begin(), entries.end(), rest);
            if (found != entries.end()) return SelectEntry(child, static_cast<int>(found - entries.begin()) + 1);
        }
        Refuse(L"no list holds \"" + rest + L"\"");
    }
    if (verb == L"set") {
        const auto space = rest.find(L' ');
        const auto number = qlora::ParseWholeNumber(rest.substr(0, space));
        int seen = 0;
        for (const HWND child : children)
            if (ClassOf(child) == L"Edit" && number && ++seen == *number)
                return static_cast<void>(
                    ::SetWindowTextW(child, space == std::wstring::npos ? L"" : rest.substr(space + 1).c_str()));
        Refuse(L"usage: set <n> <text>, with n counting the edit boxes from 1");
    }
    if (verb == L"picture") {
        if (rest.empty()) Refuse(L"usage: picture <path>");
        return SavePicture(window, rest);
    }
    if (verb == L"print") {
        for (const HWND child : children) {
            if (!::IsWindowVisible(child)) continue;
            const std::wstring kind = ClassOf(child);
            if (kind == WC_LISTVIEWW) {
                std::wstring line;
                for (const auto& entry : ListEntries(child)) line += (line.empty() ? L"" : L", ") + std::wstring(entry);
                print_(L"  | list: " + line);
            } else if ((kind == L"Static" && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) ||
                       kind == L"Button" || kind == L"Edit" || kind == WC_LINK) {
                std::wstring text = qlora::text::ReplaceAll(
                    qlora::text::ReplaceAll(WindowText(child), L"<a>", L""), L"</a>", L"");
                if (kind == L"Button") text = Readable(text);
                for (const auto& line : qlora::text::Split(qlora::text::ReplaceAll(text, L"\r\n", L"\n"), L"\n"))
                    if (!line.empty()) print_(L"  | " + line);
            }
        }
        return;
    }
    if (verb == L"click") {
        if (rest.empty()) Refuse(L"usage: click <path>");
        return click_(rest);
    }
    Refuse(L"unknown action \"" + verb + L"\" (press, select, set, picture, print, click)");
}

}  // namespace wordsim

#include "addin/timer_form_win.h"

#include <windows.h>

#include "win/win32_win.h"

namespace qlora {
namespace {

constexpr wchar_t kWindowClass[] = L"QloraWordAddIn.frmTimer";
constexpr UINT_PTR kTimerId = 1;

class WindowTimer final : public Timer {
public:
    WindowTimer(int32_t interval, std::function<void()> onTick) : onTick_(std::move(onTick)) {
        RegisterClassOnce();
        window_.reset(::CreateWindowExW(0, kWindowClass, L"frmTimer", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        win::ThisModule(), nullptr));
        if (!window_) win::ThrowLastError(L"CreateWindowEx frmTimer");
        ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        if (!::SetTimer(window_.get(), kTimerId, static_cast<UINT>(interval), nullptr))
            win::ThrowLastError(L"SetTimer");
    }
    ~WindowTimer() override {
        if (window_) ::KillTimer(window_.get(), kTimerId);
    }

private:
    static void RegisterClassOnce() {
        WNDCLASSEXW wc{sizeof(wc)};
        if (::GetClassInfoExW(win::ThisModule(), kWindowClass, &wc)) return;
        wc.lpfnWndProc = &WindowProc;
        wc.hInstance = win::ThisModule();
        wc.lpszClassName = kWindowClass;
        if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            win::ThrowLastError(L"RegisterClassEx frmTimer");
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_TIMER && wParam == kTimerId) {
            if (auto* self = reinterpret_cast<WindowTimer*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
                try {
                    self->onTick_();
                } catch (...) {  // the tick reports its own failures; nothing leaves the window procedure
                }
            }
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    std::function<void()> onTick_;
    win::UniqueWindow window_;
};

}  // namespace

std::unique_ptr<Timer> WinTimerFactory::Start(int32_t intervalMilliseconds, std::function<void()> onTick) {
    return std::make_unique<WindowTimer>(intervalMilliseconds, std::move(onTick));
}

}  // namespace qlora

// The add-in's modal windows open now: its dialogs and message boxes count themselves while they
// are shown. Word 2013 and later keep the toolbar of another document window live under them, so
// the toolbar's clicks ask here and are ignored meanwhile: no second dialog opens over the first,
// and no click handler runs while a dialog's own handler waits for its answer.
#pragma once

namespace qlora {

class ModalScope {
public:
    ModalScope() noexcept { ++Depth(); }
    ~ModalScope() { --Depth(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

    static bool Open() noexcept { return Depth() > 0; }

private:
    static int& Depth() noexcept {
        static int depth = 0;  // Word's user-interface thread only
        return depth;
    }
};

}  // namespace qlora

#include "toolbar/check_wildcards.h"

#include "base/port.h"
#include "base/prompt.h"
#include "base/required.h"
#include "base/text.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "toolbar/display_names.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

using wildcardCheck::Kind;

// A text with its count put in for "%1".
std::wstring Counted(int16_t number, size_t count) {
    return text::ReplaceAll(LNG_Main(number), L"%1", text::Decimal(static_cast<long long>(count)));
}

std::wstring KindText(const wildcardCheck::Problem& p) {
    switch (p.kind) {
        case Kind::NotMarked: return LNG_Main(504);
        case Kind::Damaged: return LNG_Main(p.targetStart >= 0 ? 505 : 506);
        case Kind::Unknown: return LNG_Main(507);
    }
    return {};
}

}  // namespace

frmCheckWildcards::frmCheckWildcards(std::shared_ptr<word::Document> document) : document_(std::move(document)) {
    Read();
}

// The text once and each bookmark once: a check costs the same few calls per wildcard however
// long the document is.
void frmCheckWildcards::Read() {
    PassOn(L"frmCheckWildcards.Read", [&] {
        auto& document = Required(document_);
        text_ = document.Content()->Text();
        const auto bookmarks = document.Bookmarks();
        const int32_t count = bookmarks->Count();
        bookmarks_.clear();
        bookmarks_.reserve(static_cast<size_t>(count));
        for (int32_t i = 1; i <= count; ++i) {
            const auto bookmark = bookmarks->Item(i);
            bookmarks_.push_back({bookmark->Name(), bookmark->Start(), bookmark->End()});
        }
        result_ = wildcardCheck::Check(text_, bookmarks_);
    });
}

std::vector<frmCheckWildcards::Line> frmCheckWildcards::Lines() const {
    std::vector<Line> lines;
    for (const auto& p : result_.problems) {
        const auto display = p.wildcard.empty() ? L"" : basDisplayNames::GetDisplayName(p.wildcard, -1);
        lines.push_back({KindText(p), display.empty() ? p.bookmark : display,
                         wildcardCheck::Excerpt(text_, p.start, p.end)});
    }
    return lines;
}

std::wstring frmCheckWildcards::AllMarkedText() const {
    return result_.problems.empty() ? Counted(514, static_cast<size_t>(result_.checked)) : L"";
}

void frmCheckWildcards::cmdGoTo_Click(int32_t index) {
    ReportFailures(
        L"frmCheckWildcards.cmdGoTo_Click(index)",
        [&] {
            const auto& p = result_.problems.at(static_cast<size_t>(index));
            Required(document_).Range(p.start, p.end)->Select();
        },
        index);
}

std::wstring frmCheckWildcards::cmdRepairAll_Click() {
    return ReportFailures(L"frmCheckWildcards.cmdRepairAll_Click", [&] {
        auto& document = Required(document_);
        const auto steps = wildcardCheck::PlanRepair(bookmarks_, result_);
        const auto bookmarks = document.Bookmarks();
        size_t removed = 0;
        for (const auto& step : steps) {
            if (step.action == wildcardCheck::Step::Action::Remove) {
                bookmarks->Item(step.mark.name)->Delete();
                ++removed;
            } else {
                bookmarks->Add(step.mark.name, document.Range(step.mark.start, step.mark.end));
            }
        }
        Read();
        std::wstring message = Counted(515, steps.size() - removed);
        if (removed > 0) message += L"\n" + Counted(516, removed);
        if (!result_.problems.empty()) message += L"\n" + Counted(517, result_.problems.size());
        return message;
    });
}

namespace basCheckWildcards {

void CheckWildcards() {
    ReportFailures(L"basCheckWildcards.CheckWildcards", [] {
        frmCheckWildcards form(Required(basGlobal::gWordApplication).ActiveDocument());
        if (const auto allMarked = form.AllMarkedText(); !allMarked.empty())
            ShowMessage(allMarked, LNG_Main(500), MsgButtons::Ok, MsgIcon::Information);
        else
            Required(Installed<CheckWildcardsView>::Get()).ShowCheckDialog(form);
    });
}

void ShowWildcards() {
    ReportFailures(L"basCheckWildcards.ShowWildcards", [] {
        const auto view = Required(basGlobal::gWordApplication).ActiveWindow()->View();
        view->SetShowBookmarks(!view->ShowBookmarks());
    });
}

}  // namespace basCheckWildcards
}  // namespace qlora

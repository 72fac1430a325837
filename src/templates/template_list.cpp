#include "templates/template_list.h"

#include <optional>

#include "base/concatenation.h"
#include "base/text.h"
#include "session/global.h"
#include "templates/file_sys.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

constexpr std::wstring_view kEntryEnd = L"|>|";
constexpr std::wstring_view kNameEnd = L"||";

// A list file's text in pieces, one per entry, in file order.
std::vector<std::wstring> Pieces(std::wstring_view content) { return text::Split(content, kEntryEnd); }

// The name of a piece: the text before its first "||"; none without one or when it stands first.
std::optional<std::wstring_view> NameOf(std::wstring_view piece) {
    const size_t at = piece.find(kNameEnd);
    if (at == std::wstring_view::npos || at == 0) return std::nullopt;
    return piece.substr(0, at);
}

// A list file of the data folder; none while the data folder is unknown, so that nothing is read
// from or written to whatever folder a bare file name would mean.
std::wstring InDataFolder(std::wstring_view fileName) {
    return basGlobal::gDataPath.empty() ? std::wstring() : basGlobal::gDataPath + std::wstring(fileName);
}

std::wstring EntryOf(std::wstring_view name, std::wstring_view path) {
    return std::wstring(name) + std::wstring(kNameEnd) + std::wstring(path);
}

}  // namespace

// The list file has no escaping: an entry goes in only when the file gives it back as it was,
// under its own name, and the companion product finds no separator inside name or path.
clsTemplateList::EntryProblem clsTemplateList::CheckEntry(std::wstring_view strName, std::wstring_view strFilePath) {
    const auto holdsSeparator = [](std::wstring_view s) {
        return s.find(kNameEnd) != std::wstring_view::npos || s.find(kEntryEnd) != std::wstring_view::npos;
    };
    if (holdsSeparator(strName) || holdsSeparator(strFilePath)) return EntryProblem::Separator;
    const std::wstring entry = EntryOf(strName, strFilePath);
    const auto readBack = Pieces(entry + std::wstring(kEntryEnd));  // "A|" + "||x" reads as name "A"
    if (readBack.size() != 2 || readBack[0] != entry || NameOf(entry) != strName) return EntryProblem::Separator;
    return basFileSys::FitsCodePage(entry) ? EntryProblem::None : EntryProblem::CodePage;
}

clsTemplateList::clsTemplateList() {
    ReportFailures(L"clsTemplateList.Class_Initialize", [&] { mstrFilePath = InDataFolder(kListFileName); });
}

bool clsTemplateList::AddTemplate(const std::wstring& strName, const std::wstring& strFilePath, bool bolOverwrite) {
    return ReportFailures(
        L"clsTemplateList.AddTemplate(strFilePath)",
        [&] {
            if (CheckEntry(strName, strFilePath) != EntryProblem::None) return false;
            std::wstring entry = EntryOf(strName, strFilePath);
            if (mCol.Contains(strName)) {
                if (!bolOverwrite) return false;
                mCol.Remove(strName);
            }
            mCol.Add(std::move(entry), strName);
            return true;
        },
        strFilePath);
}

std::wstring clsTemplateList::GetEntry(std::wstring_view name) const noexcept {
    try {
        if (const auto* entry = mCol.Find(name)) return *entry;
    } catch (...) {  // a lookup never fails: no entry
    }
    return {};
}

std::wstring clsTemplateList::GetEntry(int32_t position) const noexcept {
    try {
        if (position >= 1 && position <= mCol.Count()) return mCol.Item(position);
    } catch (...) {  // a lookup never fails: no entry
    }
    return {};
}

std::wstring clsTemplateList::GetPath(int32_t position) const noexcept {
    const std::wstring entry = GetEntry(position);
    const size_t at = entry.find(kNameEnd);
    return at == std::wstring::npos ? std::wstring() : entry.substr(at + kNameEnd.size());
}

bool clsTemplateList::Load() {
    return ReportFailures(L"clsTemplateList.Load", [&] {
        mCol.Clear();
        const std::wstring content = basFileSys::FileInput(mstrFilePath, false);
        if (!content.empty()) {
            auto pieces = Pieces(content);
            // The last piece has no end marker after it. Ending in the marker's beginning, the file
            // was cut short there: no path ends in "|>", and kept, the entry would read back as
            // another once saved with its marker.
            if (pieces.back().ends_with(kEntryEnd.substr(0, 2))) pieces.back().resize(pieces.back().size() - 2);
            for (auto& piece : pieces) {
                const auto name = NameOf(piece);
                if (!name || mCol.Contains(*name)) continue;  // the first entry of a name wins
                const std::wstring key(*name);
                mCol.Add(std::move(piece), key);
            }
        }
        RaiseListLoaded();
        return true;
    });
}

bool clsTemplateList::Save() {
    return ReportFailures(L"clsTemplateList.Save", [&] {
        clsConcatenation list;
        for (const auto& entry : mCol) {
            list.Concat(entry.item);
            list.Concat(kEntryEnd);
        }
        basFileSys::FileOutput(mstrFilePath, list.Value());
        return true;
    });
}

bool clsTemplateList::TemplateExists(const std::wstring& strName) {
    return ReportFailures(
        L"clsTemplateList.TemplateExists(strName)",
        [&] {
            if (mCol.Contains(strName)) return true;
            const std::wstring content = basFileSys::FileInput(InDataFolder(kProductListFileName), false);
            if (content.empty()) return false;
            const std::wstring prefix = strName + std::wstring(kNameEnd);
            for (const auto& piece : Pieces(content))
                if (piece.starts_with(prefix)) return true;
            return false;
        },
        strName);
}

EventConnection clsTemplateList::OnListLoaded(std::function<void()> handler) {
    const uint64_t id = nextListenerId_++;
    listeners_->push_back({id, std::move(handler)});
    return EventConnection([weak = std::weak_ptr<Listeners>(listeners_), id] {
        if (const auto listeners = weak.lock())
            std::erase_if(*listeners, [id](const Listener& listener) { return listener.id == id; });
    });
}

void clsTemplateList::RaiseListLoaded() {
    const Listeners current = *listeners_;  // a handler may connect or disconnect meanwhile
    for (const auto& listener : current) listener.handler();
}

}  // namespace qlora

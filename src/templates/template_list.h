// clsTemplateList: the templates the add-in has registered, kept in "NewTemplates.ini" in the
// data folder it shares with the companion product, whose own list "Templates.ini" lies beside it.
//
// Both files hold every entry (name "||" path) followed by "|>|", then CR LF, in the ANSI code
// page, without escaping: the companion product reads them byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/event_connection.h"
#include "base/keyed_collection.h"

namespace qlora {

class clsTemplateList {
public:
    static constexpr wchar_t kTypeName[] = L"clsTemplateList";
    static constexpr wchar_t kListFileName[] = L"NewTemplates.ini";
    static constexpr wchar_t kProductListFileName[] = L"Templates.ini";

    // Why the list file could not hold an entry as it is. Separator: it would not read back under
    // its own name (a separator in name or path, a name ending in "|", an empty name). CodePage:
    // text outside the ANSI code page.
    enum class EntryProblem { None, Separator, CodePage };
    static EntryProblem CheckEntry(std::wstring_view strName, std::wstring_view strFilePath);

    // The list file is "NewTemplates.ini" in basGlobal::gDataPath; the list is empty until Load.
    clsTemplateList();
    clsTemplateList(const clsTemplateList&) = delete;
    clsTemplateList& operator=(const clsTemplateList&) = delete;

    const std::wstring& FilePath() const noexcept { return mstrFilePath; }
    void FilePath(std::wstring value) { mstrFilePath = std::move(value); }

    // Adds name "||" path at the end; an existing name (any letter case) is replaced only with
    // bolOverwrite and then moves to the end. Refuses, changing nothing, what the list file could
    // not hold: an empty name, "||" or "|>|" in name or path, text outside the ANSI code page.
    bool AddTemplate(const std::wstring& strName, const std::wstring& strFilePath, bool bolOverwrite = false);
    // The entry of a name (letter case ignored) or of a 1-based position; empty when none.
    std::wstring GetEntry(std::wstring_view name) const noexcept;
    std::wstring GetEntry(int32_t position) const noexcept;
    // The path of the entry at a 1-based position (what follows its name); empty when none.
    std::wstring GetPath(int32_t position) const noexcept;
    int32_t CountTemplates() const noexcept { return mCol.Count(); }

    // Replaces the entries with the list file's (the first entry of a name wins) and raises
    // ListLoaded. Failures are reported to the user; the result is false then.
    bool Load();
    // Writes the entries to the list file; nothing when its folder does not exist.
    bool Save();
    // True for a name of the own list (any letter case) or of the companion product's list
    // (exact letter case, read anew at each call).
    bool TemplateExists(const std::wstring& strName);

    // ListLoaded: raised at the end of every Load that does not fail.
    EventConnection OnListLoaded(std::function<void()> handler);

private:
    struct Listener {
        uint64_t id;
        std::function<void()> handler;
    };
    using Listeners = std::vector<Listener>;

    void RaiseListLoaded();

    std::wstring mstrFilePath;
    KeyedCollection<std::wstring> mCol;
    // Shared with the connections, which may outlive the list.
    std::shared_ptr<Listeners> listeners_ = std::make_shared<Listeners>();
    uint64_t nextListenerId_ = 0;
};

}  // namespace qlora

// The template list file: whatever a list file holds, the entries it loads are saved and load
// again the same, in the same order; and whatever AddTemplate accepts is found under its own name
// and reads back the same.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "support/data_folder.h"
#include "templates/template_list.h"

namespace qlora::fuzzing {
namespace {

using testing::Entries;

// Saves the list and loads the file into a new list, which must hold the same entries.
void RequireReadsBack(clsTemplateList& list, const char* rule) {
    Require(list.Save(), "the list saves");
    clsTemplateList reread;
    Require(reread.Load(), "the saved list loads");
    Require(Entries(reread) == Entries(list), rule);
}

}  // namespace

void Run(FuzzedDataProvider& input, testing::TrailFixturePorts& ports) {
    testing::DataFolder data;
    data.fs.AddFile(data.kPath + clsTemplateList::kListFileName,
                    input.ConsumeRandomLengthString(input.remaining_bytes()));

    clsTemplateList list;
    Require(list.Load(), "any list file loads");
    RequireReadsBack(list, "what loads, saves and loads again the same");

    std::vector<std::wstring> accepted;
    while (input.remaining_bytes() > 0) {
        const std::wstring name = ConsumeText(input, 64);
        const std::wstring path = ConsumeText(input, 260);
        const bool overwrite = input.ConsumeBool();
        if (!list.AddTemplate(name, path, overwrite)) continue;
        Require(list.GetEntry(name) == name + L"||" + path, "an accepted entry is found under its name", name);
        accepted.push_back(name);
    }
    RequireReadsBack(list, "what AddTemplate accepted saves and loads again the same");
    for (const auto& name : accepted)
        Require(list.TemplateExists(name), "an accepted name is known as a template", name);
    RequireNoReport(ports, "loading, adding and saving report no failure");
}

}  // namespace qlora::fuzzing

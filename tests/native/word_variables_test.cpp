// clsWord against the in-memory Word: every refusal of Word is ignored and nothing reaches the trail.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/text.h"
#include "support/fake_ports.h"
#include "toolbar/word_variables.h"
#include "word_model.h"

namespace qlora {
namespace {

using Stored_t = std::vector<std::pair<std::wstring, std::wstring>>;

TEST(WordVariables, ReadWriteDeleteIgnoreCaseAndEveryRefusalOfWord) {
    testing::TrailFixturePorts ports;
    wordsim::Word word;
    word.NewDocument();
    const auto document = word.Application()->ActiveDocument();
    const clsWord vars{};
    const auto stored = [&] {
        Stored_t out;
        for (const auto& v : word.ActiveDocument()->variables) out.emplace_back(v.name, v.value);
        return out;
    };
    // Word's variable names ignore case: a second write is the same variable again.
    vars.WriteVariable(document, L"TemplateName", L"First");
    vars.WriteVariable(document, L"TEMPLATENAME", L"Offer letter");
    EXPECT_EQ(vars.ReadVariable(document, L"templatename") + vars.ReadVariable(document, L"Other"), L"Offer letter");
    vars.DeleteVariable(document, L"Missing");
    EXPECT_EQ(stored(), (Stored_t{{L"TemplateName", L"Offer letter"}}));

    // refused, what Read gives, the value after writing "Changed" over "Kept", whether Delete left it
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, bool> rows[] = {
        {L"Document.Variables.get", L"", L"Kept", true}, {L"Variables.Item", L"", L"Kept", true},
        {L"Variable.Value.get", L"", L"Changed", false}, {L"Variable.Value.put", L"Kept", L"Kept", false},
        {L"Variable.Delete", L"Kept", L"Changed", true},
    };
    for (const auto& [refused, read, afterWrite, existsAfterDelete] : rows) {
        SCOPED_TRACE(text::ToUtf8(refused));
        vars.WriteVariable(document, L"TemplateName", L"Kept");
        word.Refuse(refused);
        EXPECT_EQ(vars.ReadVariable(document, L"TemplateName"), read);
        EXPECT_NO_THROW(vars.WriteVariable(document, L"TemplateName", L"Changed"));
        EXPECT_EQ(stored(), (Stored_t{{L"TemplateName", afterWrite}}));
        EXPECT_NO_THROW(vars.DeleteVariable(document, L"TEMPLATENAME"));
        EXPECT_EQ(word.ActiveDocument()->FindVariable(L"TemplateName") != nullptr, existsAfterDelete);
        word.Allow(refused);
    }
    // A refused Add still lets an existing variable take the value; a new name is given up silently.
    word.Refuse(L"Variables.Add");
    for (const auto* name : {L"TemplateName", L"Qlora"}) EXPECT_NO_THROW(vars.WriteVariable(document, name, L"New"));
    EXPECT_EQ(stored(), (Stored_t{{L"TemplateName", L"New"}}));

    for (const auto& doc : {std::shared_ptr<word::Document>(), document}) {
        if (doc) word.CloseDocument();
        EXPECT_EQ(vars.ReadVariable(doc, L"TemplateName"), L"");
        EXPECT_NO_THROW(vars.WriteVariable(doc, L"TemplateName", L"A"));
        EXPECT_NO_THROW(vars.DeleteVariable(doc, L"TemplateName"));
    }
    EXPECT_TRUE(ports.prompt.shown.empty() && ports.view.reports.empty() && ports.host.files.empty());
}

}  // namespace
}  // namespace qlora

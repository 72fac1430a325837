// clsWord against the in-memory Word: document variables read, written and deleted, with every
// refusal of Word ignored and nothing reaching the error trail.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "support/fake_ports.h"
#include "toolbar/word_variables.h"
#include "word_model.h"

namespace qlora {
namespace {

class WordVariables : public ::testing::Test {
protected:
    void SetUp() override {
        word.NewDocument();
        document = word.Application()->ActiveDocument();
    }

    using Stored_t = std::vector<std::pair<std::wstring, std::wstring>>;

    // The active document's variables as Word keeps them: name and value, in the order added.
    Stored_t Stored() const {
        Stored_t out;
        for (const auto& v : word.ActiveDocument()->variables) out.emplace_back(v.name, v.value);
        return out;
    }

    void ExpectNothingReported() const {
        EXPECT_TRUE(ports.prompt.shown.empty());
        EXPECT_TRUE(ports.view.reports.empty());
        EXPECT_TRUE(ports.host.files.empty());
    }

    testing::TrailFixturePorts ports;
    wordsim::Word word;
    std::shared_ptr<word::Document> document;
    const clsWord vars{};
};

// Word's variable names ignore case: a second write is the same variable again.
TEST_F(WordVariables, WritesReadBackOnceEachAndDeleteRemovesOnlyThatVariable) {
    EXPECT_EQ(vars.ReadVariable(document, L"TemplateName"), L"");
    for (const auto* value : {L"First", L"Offer letter"}) vars.WriteVariable(document, L"TemplateName", value);
    vars.WriteVariable(document, L"Qlora", L"1");
    vars.WriteVariable(document, L"qlora", L"2");
    EXPECT_EQ(vars.ReadVariable(document, L"TEMPLATENAME"), L"Offer letter");
    EXPECT_EQ(vars.ReadVariable(document, L"Other"), L"");
    EXPECT_EQ(Stored(), (Stored_t{{L"TemplateName", L"Offer letter"}, {L"Qlora", L"2"}}));
    vars.DeleteVariable(document, L"Missing");
    vars.DeleteVariable(document, L"TEMPLATENAME");
    EXPECT_EQ(Stored(), (Stored_t{{L"Qlora", L"2"}}));
    ExpectNothingReported();
}

TEST_F(WordVariables, WhenAddIsRefusedTheExistingVariableStillTakesTheValue) {
    vars.WriteVariable(document, L"TemplateName", L"Old");
    word.Refuse(L"Variables.Add");
    vars.WriteVariable(document, L"TemplateName", L"New");
    EXPECT_EQ(Stored(), (Stored_t{{L"TemplateName", L"New"}}));
    // A new name cannot be added then; the write gives up without a word.
    EXPECT_NO_THROW(vars.WriteVariable(document, L"Qlora", L"1"));
    EXPECT_EQ(Stored().size(), 1u);
    ExpectNothingReported();
}

TEST_F(WordVariables, EveryRefusalOfWordIsIgnoredAndTheOtherStepsStillRun) {
    struct Row {
        const wchar_t* refused;
        const wchar_t* read;         // what ReadVariable gives
        const wchar_t* afterWrite;   // the value after writing "Changed" over "Kept"
        bool existsAfterDelete;
    };
    const Row rows[] = {
        {L"Document.Variables.get", L"", L"Kept", true},
        {L"Variables.Item", L"", L"Kept", true},
        {L"Variable.Value.get", L"", L"Changed", false},
        {L"Variable.Value.put", L"Kept", L"Kept", false},
        {L"Variable.Delete", L"Kept", L"Changed", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(text::ToUtf8(row.refused));
        vars.WriteVariable(document, L"TemplateName", L"Kept");
        word.Refuse(row.refused);
        EXPECT_EQ(vars.ReadVariable(document, L"TemplateName"), row.read);
        EXPECT_NO_THROW(vars.WriteVariable(document, L"TemplateName", L"Changed"));
        EXPECT_EQ(Stored(), (Stored_t{{L"TemplateName", row.afterWrite}}));
        EXPECT_NO_THROW(vars.DeleteVariable(document, L"TemplateName"));
        EXPECT_EQ(word.ActiveDocument()->FindVariable(L"TemplateName") != nullptr, row.existsAfterDelete);
        word.Allow(row.refused);
    }
    ExpectNothingReported();
}

TEST_F(WordVariables, NoDocumentOrAClosedOneReadsEmptyAndChangesNothing) {
    for (const auto& doc : {std::shared_ptr<word::Document>(), document}) {
        if (doc) word.CloseDocument();
        EXPECT_EQ(vars.ReadVariable(doc, L"TemplateName"), L"");
        EXPECT_NO_THROW(vars.WriteVariable(doc, L"TemplateName", L"A"));
        EXPECT_NO_THROW(vars.DeleteVariable(doc, L"TemplateName"));
    }
    ExpectNothingReported();
}

}  // namespace
}  // namespace qlora

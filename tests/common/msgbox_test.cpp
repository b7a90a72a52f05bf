// Tests of the plain message box and of a descendant that answers through Info.
#include "common/msgbox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/common_unit.h"
#include "common/exceptions.h"

namespace {

// Every question of the interface, called with the same text.
struct Question {
    const char* name;
    std::function<int(TMsgBox&, const std::u16string&)> ask;
    int answerAfterInfo;  // -1: the result of Info itself
};

const std::vector<Question>& questions() {
    static const std::vector<Question> all = {
        {"Dlg", [](TMsgBox& b, const std::u16string& m) { return b.Dlg(m, mtWarning, {mbYes, mbNo}, mbNo); }, -1},
        {"Info", [](TMsgBox& b, const std::u16string& m) { return b.Info(m); }, -1},
        {"ErrInfo", [](TMsgBox& b, const std::u16string& m) { return b.ErrInfo(m); }, -1},
        {"YesNo", [](TMsgBox& b, const std::u16string& m) { return b.YesNo(m); }, 6},
        {"YesCancel", [](TMsgBox& b, const std::u16string& m) { return b.YesCancel(m); }, 6},
        {"NoYes", [](TMsgBox& b, const std::u16string& m) { return b.NoYes(m); }, 7},
        {"YesNoCancel", [](TMsgBox& b, const std::u16string& m) { return b.YesNoCancel(m, true); }, 6},
        {"NoYesCancel", [](TMsgBox& b, const std::u16string& m) { return b.NoYesCancel(m, false); }, 7},
        {"YesNoAllCancel", [](TMsgBox& b, const std::u16string& m) { return b.YesNoAllCancel(m, true); }, 6},
        {"YesToAllNoCancel",
         [](TMsgBox& b, const std::u16string& m) { return b.YesToAllNoCancel(m, mbNo, false); }, 6},
        {"IgnoreCancel", [](TMsgBox& b, const std::u16string& m) { return b.IgnoreCancel(m); }, -1},
        {"OkCancel", [](TMsgBox& b, const std::u16string& m) { return b.OkCancel(m); }, 2},
    };
    return all;
}

TEST(MsgBox, PlainInstanceRaisesThroughInfo) {
    TMsgBox box;
    for (const Question& q : questions()) {
        SCOPED_TRACE(q.name);
        try {
            q.ask(box, u"abc");
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), u"abc\rMsgBox nicht zugewiesen");
            EXPECT_STREQ(e.what(), "abc\rMsgBox nicht zugewiesen");
        }
    }
    EXPECT_EQ(TMsgBox::TestInfo(u"abc"), 0);
}

// Answers every Info with 1 and records the texts it was shown.
class RecordingBox : public TMsgBox {
public:
    int Info(const std::u16string& msg) override {
        shown.push_back(msg);
        return 1;
    }
    bool nextAligned() const { return FUseNextAlign; }
    std::vector<std::u16string> shown;
};

TEST(MsgBox, DescendantOverridingInfoAnswersEveryQuestion) {
    RecordingBox box;
    for (const Question& q : questions()) {
        SCOPED_TRACE(q.name);
        box.shown.clear();
        EXPECT_EQ(q.ask(box, u"Frage?"), q.answerAfterInfo == -1 ? 1 : q.answerAfterInfo);
        EXPECT_EQ(box.shown, std::vector<std::u16string>{u"Frage?"});
    }
}

TEST(MsgBox, SetAlignMarksTheNextDialog) {
    RecordingBox box;
    EXPECT_EQ(box.Align(), ma_Center);
    EXPECT_FALSE(box.nextAligned());
    EXPECT_FALSE(box.Prompting());
    EXPECT_EQ(box.DialogDurationTotal, 0.0);
    box.SetAlign(ma_CenterBottom);
    EXPECT_EQ(box.Align(), ma_CenterBottom);
    EXPECT_TRUE(box.nextAligned());
    static_assert(sizeof(TMsgAlign) == 1);
}

TEST(MsgBox, UnitStartCreatesAReplaceablePlainBox) {
    StartCommonUnit();
    ASSERT_NE(MsgBox, nullptr);
    EXPECT_THROW(MsgBox->ErrInfo(u"x"), Exception);

    MsgBox = std::make_unique<RecordingBox>();
    EXPECT_EQ(MsgBox->NoYes(u"q"), 7);

    EndCommonUnit();
    EXPECT_EQ(MsgBox, nullptr);
}

}  // namespace

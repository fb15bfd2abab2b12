#include "support/messages.h"

#include <gtest/gtest.h>

using namespace kiv;

TEST(MessageButtons, DefaultAndEscapeFollowThePreferenceOrder) {
    EXPECT_EQ(DefaultButtonBit(BtnOk | BtnCancel), 2);
    EXPECT_EQ(EscapeButtonBit(BtnOk | BtnCancel), 3);
    EXPECT_EQ(DefaultButtonBit(BtnYes | BtnNo), 0);
    EXPECT_EQ(EscapeButtonBit(BtnYes | BtnNo), 1);
    EXPECT_EQ(DefaultButtonBit(BtnAbort | BtnRetry | BtnIgnore), 5);
    EXPECT_EQ(EscapeButtonBit(BtnOk), 2);
    EXPECT_EQ(EscapeButtonBit(BtnAbort | BtnRetry), -1);
}

TEST(MessageButtons, CaptionsAndResults) {
    EXPECT_STREQ(ButtonCaption(8), "N&ie żadne");
    EXPECT_EQ(ButtonResult(9), ResYesToAll);
    EXPECT_EQ(ButtonResult(10), ResNone);
    EXPECT_EQ(KindCaption(MsgError), "Błąd !");
    EXPECT_EQ(KindCaption(MsgApplication), "Kiv");
}

namespace {
struct Recorder : IMessageSink {
    std::string text;
    int Show(const std::string&, const std::string& t, int, unsigned) override {
        text = t;
        return ResNo;
    }
};
} // namespace

TEST(MessageSink, InstalledSinkReceivesMessagesAndAnswers) {
    Recorder recorder;
    SetMessageSink(&recorder);
    EXPECT_EQ(MessageDlg("", "Czy zapisać zmiany?", MsgConfirmation, BtnYes | BtnNo), ResNo);
    EXPECT_EQ(recorder.text, "Czy zapisać zmiany?");
    SetMessageSink(nullptr);
}

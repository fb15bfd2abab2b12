#include "support/message_recorder.h"

#include <gtest/gtest.h>

using namespace kiv;

TEST(MessageRecorder, RecordsEveryMessageWithTheCaptionShown) {
    MessageRecorder rec;
    (void)MessageDlg("", "Nie znaleziono pliku (2)", MsgError);
    (void)MessageDlg("Zapis", "Czy zapisać zmiany?", MsgConfirmation, BtnYes | BtnNo);
    ASSERT_EQ(rec.Count(), 2u);
    EXPECT_EQ(rec.Messages()[0].caption, "");
    EXPECT_EQ(rec.Messages()[0].shownCaption, "Błąd !");
    EXPECT_EQ(rec.Messages()[0].buttons, unsigned(BtnOk));
    EXPECT_EQ(rec.Last().shownCaption, "Zapis");
    EXPECT_EQ(rec.Last().kind, MsgConfirmation);
    EXPECT_EQ(rec.Last().buttons, unsigned(BtnYes | BtnNo));
    EXPECT_TRUE(rec.Saw("zapisać"));
    EXPECT_FALSE(rec.Saw("porzucić"));
}

TEST(MessageRecorder, AnswersFromTheScriptThenWithTheDefaultButton) {
    MessageRecorder rec;
    rec.Answer({ResNo, ResCancel});
    EXPECT_EQ(MessageDlg("", "a", MsgConfirmation, BtnYes | BtnNo), ResNo);
    EXPECT_EQ(MessageDlg("", "b", MsgConfirmation, BtnOk | BtnCancel), ResCancel);
    EXPECT_EQ(rec.PendingAnswers(), 0u);
    // Script used up: Enter's choice.
    EXPECT_EQ(MessageDlg("", "c", MsgConfirmation, BtnYes | BtnNo), ResYes);
    EXPECT_EQ(MessageDlg("", "d", MsgWarning, BtnAbort | BtnRetry | BtnIgnore), ResRetry);
    EXPECT_EQ(MessageDlg("", "e", MsgWarning, BtnHelp), ResNone);
    EXPECT_EQ(rec.Messages()[1].result, ResCancel);
}

TEST(MessageRecorder, UninstallsItselfAndNests) {
    {
        MessageRecorder outer;
        {
            MessageRecorder inner;
            (void)MessageDlg("", "do wewnętrznego", MsgInformation);
            EXPECT_EQ(inner.Count(), 1u);
        }
        (void)MessageDlg("", "do zewnętrznego", MsgInformation);
        EXPECT_EQ(outer.Count(), 1u);
        EXPECT_EQ(outer.Last().text, "do zewnętrznego");
    }
    // The console sink is back: it answers with the default button too.
    EXPECT_EQ(MessageDlg("", "konsola", MsgInformation, BtnOk | BtnCancel), ResOk);
}

TEST(MessageRecorder, LastOfNothingIsEmptyAndClearForgetsTheScript) {
    MessageRecorder rec;
    EXPECT_EQ(rec.Last().text, "");
    rec.Answer(ResAbort);
    rec.Clear();
    EXPECT_EQ(MessageDlg("", "x", MsgWarning, BtnOk | BtnCancel), ResOk);
}

// The headless progress: the state a read-out leaves and the exit button.
#include <gtest/gtest.h>

#include <sstream>

#include "comm/progress_recorder.h"

namespace {

TEST(ProgressRecorder, ResetClearsEverything) {
    kiv::TTxProgressRecorder p;
    p.SetStatus("x");
    p.SetBar(40);
    p.SetLamp(kiv::TxLamp::Wait, true);
    p.SetExitEnabled(true);
    p.SetExitCaption("OK");
    p.PressExit();
    p.Reset("Stacja 12");
    EXPECT_EQ(p.Caption(), "Postęp transmisji - Stacja 12");
    EXPECT_EQ(p.Status(), "");
    EXPECT_EQ(p.Bar(), 0);
    EXPECT_FALSE(p.Lamp(kiv::TxLamp::Wait));
    EXPECT_FALSE(p.ClosedByUser());
    EXPECT_FALSE(p.CancelRequested());
    EXPECT_FALSE(p.ExitEnabled());
    EXPECT_EQ(p.ExitCaption(), "Anuluj");
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.ElapsedSeconds(), 0);
}

TEST(ProgressRecorder, ExitButton) {
    kiv::TTxProgressRecorder p;
    p.Reset("A");
    p.PressExit();
    EXPECT_FALSE(p.CancelRequested()) << "a disabled button does nothing";
    p.SetExitEnabled(true);
    p.PressExit();
    EXPECT_TRUE(p.CancelRequested());
    EXPECT_FALSE(p.ClosedByUser());
    EXPECT_TRUE(p.Visible());
    p.Reset("A");
    p.SetExitEnabled(true);
    p.SetExitCaption(kiv::kExitOk);
    p.PressExit();
    EXPECT_FALSE(p.CancelRequested());
    EXPECT_TRUE(p.ClosedByUser());
    EXPECT_FALSE(p.Visible());
}

TEST(ProgressRecorder, CheckListMarksAndSelectsNext) {
    kiv::TTxProgressRecorder p;
    p.FillCheckList({"zdarzenia", "Objętość", "Ciśnienie"});
    EXPECT_EQ(p.Selected(), 0);
    p.MarkItem(0, kiv::TxCheck::Checked);
    p.MarkItem(1, kiv::TxCheck::Grayed);
    p.MarkItem(7, kiv::TxCheck::Checked);
    EXPECT_EQ(p.ItemStates(), (std::vector<kiv::TxCheck>{kiv::TxCheck::Checked, kiv::TxCheck::Grayed,
                                                          kiv::TxCheck::Unchecked}));
    EXPECT_EQ(p.Selected(), 2);
}

TEST(ProgressRecorder, EchoesEventsAndClampsBar) {
    std::ostringstream out;
    kiv::TTxProgressRecorder p(&out);
    p.SetBar(150);
    p.SetBar(100);
    p.SetBar(-5);
    p.SetConnection("Port otwarty, 9600Bd");
    EXPECT_EQ(out.str(), "bar: 100\nbar: 0\nconnection: Port otwarty, 9600Bd\n");
    EXPECT_EQ(p.Events().size(), 3u);
}

TEST(ProgressRecorder, CounterLimit) {
    kiv::TTxProgressRecorder p;
    p.Reset("A");
    EXPECT_FALSE(p.LimitReached());
    p.SetCounterLimit(0);
    EXPECT_FALSE(p.LimitReached()) << "no limit";
    p.StopCounter();
    EXPECT_EQ(p.ElapsedSeconds(), 0);
}

TEST(ProgressRecorder, ElapsedText) {
    EXPECT_EQ(kiv::FormatElapsed(0), "0:00:00");
    EXPECT_EQ(kiv::FormatElapsed(59), "0:00:59");
    EXPECT_EQ(kiv::FormatElapsed(3 * 3600 + 25 * 60 + 7), "3:25:07");
    EXPECT_EQ(kiv::FormatElapsed(-3), "0:00:00");
}

} // namespace

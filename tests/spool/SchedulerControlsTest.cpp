#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SchedulerFixture.h"

namespace tavrin::test {
namespace {

constexpr const char* kStartUpCaption = "     &OK, Print!!";

void ExpectTimeEditsShown(SchedulerForm& form, bool shown) {
    EXPECT_EQ(form.hours.visible(), shown);
    EXPECT_EQ(form.minutes.visible(), shown);
    EXPECT_EQ(form.label2.visible(), shown);
    EXPECT_EQ(form.label4.visible(), shown);
}

TEST_F(SchedulerTest, CheckingScheduleStartsTheTimerAndShowsTheTimeEdits) {
    form.schedule.setChecked(true);
    EXPECT_TRUE(form.timer1.enabled());
    ExpectTimeEditsShown(form, true);
    EXPECT_EQ(form.okPrint.caption(), kStartUpCaption);
    EXPECT_TRUE(form.okPrint.enabled());

    form.schedule.setChecked(false);
    EXPECT_FALSE(form.timer1.enabled());
    ExpectTimeEditsShown(form, false);
    EXPECT_EQ(form.okPrint.caption(), kStartUpCaption);
    EXPECT_TRUE(form.okPrint.enabled());
}

TEST_F(SchedulerTest, CheckingScheduleAloneRunsAtTheSetTimeAndLeavesTheButtonUntilThen) {
    SetStart(22, 15);
    clock.ms = SettableClock::At(0, 21, 0);
    form.schedule.setChecked(true);
    RunUntil(SettableClock::At(0, 22, 14, 59));
    EXPECT_TRUE(runStarts.empty());
    EXPECT_EQ(form.okPrint.caption(), kStartUpCaption);
    EXPECT_TRUE(form.okPrint.enabled());
    RunUntil(SettableClock::At(0, 22, 16));
    EXPECT_EQ(runStarts, std::vector<long long>{SettableClock::At(0, 22, 15)});
    EXPECT_EQ(form.okPrint.caption(), "&OK, Print!!");
}

TEST_F(SchedulerTest, ArmingTheStartShowsTheEditsTextsOnTheButton) {
    grid.setCell(0, 1, "/plots/a.plt");
    SetStart(7, 5);
    clock.ms = SettableClock::At(0, 6, 0);
    form.schedule.setChecked(true);
    form.timer1.setEnabled(false);  // whatever happened since, the button starts the timer
    scheduler.ArmScheduledStart();
    EXPECT_TRUE(form.timer1.enabled());
    EXPECT_EQ(form.okPrint.caption(), "Starts at 07:05");
    EXPECT_FALSE(form.okPrint.enabled());
    EXPECT_TRUE(runStarts.empty());

    RunUntil(SettableClock::At(0, 7, 4, 59));
    EXPECT_EQ(form.okPrint.caption(), "Starts at 07:05");
    RunUntil(SettableClock::At(0, 7, 6));
    EXPECT_EQ(runStarts.size(), 1u);
    EXPECT_EQ(form.okPrint.caption(), "&OK, Print!!");
    EXPECT_TRUE(form.okPrint.enabled());
}

TEST_F(SchedulerTest, ACheckedScheduleRunsOverAnEmptyListWithoutTouchingTheButton) {
    SetStart(1, 0);
    clock.ms = SettableClock::At(0, 0, 59, 30);
    form.schedule.setChecked(true);
    EXPECT_EQ(form.okPrint.caption(), kStartUpCaption);
    EXPECT_TRUE(form.okPrint.enabled());
    EXPECT_TRUE(runStarts.empty());
    RunUntil(SettableClock::At(0, 1, 1));
    EXPECT_EQ(runStarts.size(), 1u);
}

TEST_F(SchedulerTest, UncheckingScheduleAfterArmingGivesTheButtonBack) {
    grid.setCell(0, 1, "/plots/a.plt");
    SetStart(23, 59);
    clock.ms = SettableClock::At(0, 12, 0);
    form.schedule.setChecked(true);
    scheduler.ArmScheduledStart();
    ASSERT_EQ(form.okPrint.caption(), "Starts at 23:59");

    form.schedule.setChecked(false);
    EXPECT_EQ(form.okPrint.caption(), "&OK, Print!!");
    EXPECT_TRUE(form.okPrint.enabled());
    EXPECT_FALSE(form.timer1.enabled());
    ExpectTimeEditsShown(form, false);
    RunUntil(SettableClock::At(2, 0, 0));
    EXPECT_TRUE(runStarts.empty());

    // Checking it again waits without touching the button; the button arms it anew.
    form.schedule.setChecked(true);
    EXPECT_EQ(form.okPrint.caption(), "&OK, Print!!");
    scheduler.ArmScheduledStart();
    EXPECT_EQ(form.okPrint.caption(), "Starts at 23:59");
}

TEST_F(SchedulerTest, UncheckingScheduleDuringARunLeavesTheBusyButtonToTheRun) {
    grid.setCell(0, 1, "/plots/a.plt");
    SetStart(8, 0);
    clock.ms = SettableClock::At(0, 7, 59, 59);
    form.schedule.setChecked(true);
    scheduler.ArmScheduledStart();
    std::string captionAfterUncheck;
    duringRun = [this, &captionAfterUncheck] {
        form.schedule.setChecked(false);
        captionAfterUncheck = form.okPrint.caption();
    };
    RunUntil(SettableClock::At(0, 8, 1));
    EXPECT_EQ(runStarts.size(), 1u);
    EXPECT_EQ(captionAfterUncheck, "Busy!");
}

TEST_F(SchedulerTest, TypedHourAboveTheDayBecomesTheLastHourWhenLeft) {
    form.hours.TypeAndLeave(25);
    EXPECT_EQ(form.hours.value(), 23);
    EXPECT_EQ(form.hours.caption(), "23");
    form.hours.TypeAndLeave(99);
    EXPECT_EQ(form.hours.value(), 23);
    form.hours.TypeAndLeave(23);
    EXPECT_EQ(form.hours.value(), 23);
    form.hours.TypeAndLeave(0);
    EXPECT_EQ(form.hours.value(), 0);
}

TEST_F(SchedulerTest, TypedMinuteAboveTheHourBecomesTheLastMinuteWhenLeft) {
    form.minutes.TypeAndLeave(75);
    EXPECT_EQ(form.minutes.value(), 59);
    EXPECT_EQ(form.minutes.caption(), "59");
    form.minutes.TypeAndLeave(60);
    EXPECT_EQ(form.minutes.value(), 59);
    form.minutes.TypeAndLeave(59);
    EXPECT_EQ(form.minutes.value(), 59);
}

TEST_F(SchedulerTest, ClickOnAnEditKeepsItsRangeToo) {
    // A value above the range that arrived without the edit's own handlers.
    form.hours.onChange = nullptr;
    form.minutes.onChange = nullptr;
    form.hours.setValue(40);
    form.minutes.setValue(80);
    form.hours.Click();
    form.minutes.Click();
    EXPECT_EQ(form.hours.value(), 23);
    EXPECT_EQ(form.minutes.value(), 59);
}

TEST_F(SchedulerTest, WrittenHourAboveTheDayBecomesMidnightAndMinuteTheLastMinute) {
    // As the stored settings are written into the edits at start-up.
    form.hours.setValue(30);
    form.minutes.setValue(60);
    EXPECT_EQ(form.hours.value(), 0);
    EXPECT_EQ(form.hours.caption(), "00");
    EXPECT_EQ(form.minutes.value(), 59);
    form.hours.setValue(24);
    EXPECT_EQ(form.hours.value(), 0);
    form.hours.setValue(23);
    form.minutes.setValue(7);
    EXPECT_EQ(form.hours.value(), 23);
    EXPECT_EQ(form.minutes.value(), 7);
}

TEST_F(SchedulerTest, WhileTypingTheChangeHandlersSeeTheValueFromBefore) {
    form.hours.setValue(5);
    std::vector<int> seen;
    form.hours.onChange = [this, &seen] {
        seen.push_back(form.hours.value());
        scheduler.UurChange();
    };
    form.hours.TypeAndLeave(47);
    // Typing showed the old 5 to the change rule; leaving wrote 23, which it saw as well.
    EXPECT_EQ(seen, (std::vector<int>{5, 23}));
    EXPECT_EQ(form.hours.value(), 23);
}

}  // namespace
}  // namespace tavrin::test

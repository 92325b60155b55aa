#include "platform/qt/timer_schedule.h"

#include <gtest/gtest.h>

namespace mogumo {
namespace {

Control timer(int interval, bool gated) {
    Control c;
    c.kind = ControlKind::Timer;
    c.interval = interval;
    c.gated = gated;
    return c;
}

TEST(TimerSchedule, TimersAreDueOnMultiplesOfTheirIntervalAndLateTicksDoNotPileUp) {
    TimerSchedule s;
    const Control slow = timer(2000, false);
    s.started(1, FormId::Form5, slow, 1000);
    EXPECT_EQ(s.nextWake(0), 3000u);
    EXPECT_TRUE(s.due(2999).empty());
    ASSERT_EQ(s.due(3000).size(), 1u);
    // Woken late, well past two more intervals: one tick, then on the grid.
    s.advance(s.due(7500).front().order, 7500);
    EXPECT_EQ(s.nextWake(0), 9000u);
}

TEST(TimerSchedule, FastGatedTimersSleepUntilTheGateOpens) {
    TimerSchedule s;
    const Control fast = timer(1, true);
    const Control plain = timer(1, false);
    s.started(1, FormId::Form6, fast, 100);
    EXPECT_EQ(s.nextWake(151), 151u);
    EXPECT_EQ(s.nextWake(50), 101u);  // the gate is already open
    s.started(1, FormId::Form6, plain, 100);
    EXPECT_EQ(s.nextWake(151), 101u);  // an ungated 1 ms timer keeps its pace
    s.stopped(1, plain);
    EXPECT_FALSE(s.isRunning(1, plain));
    EXPECT_TRUE(s.isRunning(1, fast));
}

TEST(TimerSchedule, DueTimersComeInStartOrderAndGoWithTheirScreen) {
    TimerSchedule s;
    const Control a = timer(10, false);
    const Control b = timer(5, false);
    const Control c = timer(10, false);
    s.started(7, FormId::Form8, a, 0);
    s.started(7, FormId::Form8, b, 0);
    s.started(8, FormId::Form7, c, 0);
    const auto due = s.due(10);
    ASSERT_EQ(due.size(), 3u);
    EXPECT_EQ(due[0].timer, &a);
    EXPECT_EQ(due[1].timer, &b);
    EXPECT_EQ(due[2].timer, &c);
    s.screenGone(7);
    ASSERT_EQ(s.entries().size(), 1u);
    EXPECT_EQ(s.entries()[0].timer, &c);
    s.screenGone(8);
    EXPECT_FALSE(s.nextWake(0).has_value());
}

}  // namespace
}  // namespace mogumo

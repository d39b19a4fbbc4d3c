// The free-space wipe's clock lines and its summary text.
#include <gtest/gtest.h>

#include "engine/Dialog.h"
#include "engine/WipeSpace.h"
#include "platform/Locale.h"
#include "platform/Monotonic.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

class FreeSpaceClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEngineState();
        FillMarkedTexts();
        platform::hooks::SetUserLocale(QStringLiteral("en_US"));
        platform::hooks::SetMonotonicClock([this] { return now_; });
        engine::StartFreeSpaceClock();
    }
    void TearDown() override {
        platform::hooks::SetMonotonicClock(nullptr);
        platform::hooks::SetUserLocale(std::nullopt);
        ResetEngineState();
    }
    // Ticks once at the given number of seconds after the start.
    void TickAt(double seconds) {
        now_ = seconds;
        engine::Timer1_Timer();
    }
    QString Elapsed() { return engine::Dialog().Label1.Caption(); }
    QString Speed() { return engine::Dialog().Label3.Caption(); }
    QString Remaining() { return engine::Dialog().Label4.Caption(); }

    double now_ = 0;
    FakeMainWindow form1;
};

TEST_F(FreeSpaceClockTest, TheFirstTickBeforeAnythingIsCounted) {
    form1.Totale = platform::Currency{5000};
    TickAt(1.0);
    EXPECT_EQ(Elapsed(), QStringLiteral("T70 0, T58 0, T30 1"));
    EXPECT_EQ(Speed(), QStringLiteral("T71:  Kb/sec"));
    EXPECT_EQ(Remaining(), QStringLiteral("T72: T58 0, T30 0 "));
}

TEST_F(FreeSpaceClockTest, SecondsCarryIntoMinutesAndHours) {
    struct Case {
        int ticks;
        std::int16_t ore, minuti, secondi;
    } cases[] = {{59, 0, 0, 59}, {60, 0, 1, 0}, {3599, 0, 59, 59}, {3600, 1, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ticks);
        form1.Ore = form1.Minuti = form1.Secondi = 0;
        form1.SecondiTotali = 0;
        for (int t = 1; t <= c.ticks; ++t) TickAt(t);
        EXPECT_EQ(form1.Ore, c.ore);
        EXPECT_EQ(form1.Minuti, c.minuti);
        EXPECT_EQ(form1.Secondi, c.secondi);
        EXPECT_EQ(form1.SecondiTotali, c.ticks);
        now_ = 0;
        engine::StartFreeSpaceClock();
    }
    EXPECT_EQ(Elapsed(), QStringLiteral("T70 1, T58 0, T30 0"));
}

TEST_F(FreeSpaceClockTest, TheClockMeasuresRealSecondsHoweverLateTheTicks) {
    TickAt(0.6);  // no whole second yet: nothing counts, nothing is divided by zero
    EXPECT_EQ(form1.SecondiTotali, 0);
    EXPECT_EQ(Speed(), QStringLiteral("T71:  Kb/sec"));
    TickAt(312.9);  // one late tick after a long cycle
    EXPECT_EQ(form1.SecondiTotali, 312);
    EXPECT_EQ(Elapsed(), QStringLiteral("T70 0, T58 5, T30 12"));
    TickAt(313.2);
    EXPECT_EQ(form1.Secondi, 13);
}

TEST_F(FreeSpaceClockTest, SpeedAndRemainingTime) {
    struct Case {
        const char* name;
        std::int64_t freeKb, written;
        double at;
        const char* locale;
        const char* speed;
        const char* remaining;
    } cases[] = {
        {"speed rounded down, grouped", 10000, 5000, 3, "en_US", "T71: 1,666 Kb/sec",
         "T72: T58 0, T30 3 "},
        {"the pinned locale's grouping symbol", 10000, 5000, 3, "de_DE", "T71: 1.666 Kb/sec",
         "T72: T58 0, T30 3 "},
        // 19,918 / 10,000 x 60 / 60 - 1 = 0.9918 minutes: 59.508 seconds make 60.
        {"sixty seconds", 19918, 10000, 60, "en_US", "T71: 166 Kb/sec", "T72: T58 0, T30 60 "},
        // 4,025 / 1,000 x 60 / 60 - 1 = 3.025 minutes: 1.5 seconds go to the even 2.
        {"half a second", 4025, 1000, 60, "en_US", "T71: 16 Kb/sec", "T72: T58 3, T30 2 "},
        // 4,075 / 1,000 x 60 / 60 - 1 = 3.075 minutes: 4.5 seconds go to the even 4, not 5.
        {"half a second to the even below", 4075, 1000, 60, "en_US", "T71: 16 Kb/sec",
         "T72: T58 3, T30 4 "},
        // More written than measured: -0.25 minutes are -1 and 45 seconds.
        {"negative remaining time", 3, 4, 60, "en_US", "T71:  Kb/sec", "T72: T58-1, T30 45 "},
        {"hours ahead", 36000000, 1000, 1, "en_US", "T71: 1,000 Kb/sec", "T72: T58 599, T30 59 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::hooks::SetUserLocale(QString::fromLatin1(c.locale));
        form1.Totale = platform::Currency{c.freeKb};
        form1.KbScritti = c.written;
        form1.Ore = form1.Minuti = form1.Secondi = 0;
        form1.SecondiTotali = 0;
        now_ = 0;
        engine::StartFreeSpaceClock();
        TickAt(c.at);
        EXPECT_EQ(Speed(), QString::fromLatin1(c.speed));
        EXPECT_EQ(Remaining(), QString::fromLatin1(c.remaining));
    }
}

TEST(FreeSpaceSummary, HoursAndMinutesOnlyWhenThereAreAny) {
    FillMarkedTexts();
    struct Case {
        int h, m, s;
        const char* text;
    } cases[] = {
        {0, 0, 7, "T297 T30!"},
        {1, 0, 5, "T291 T57, 5 T30!"},
        {1, 2, 3, "T291 T57, 2 T58 T78 3 T30!"},
        {0, 2, 0, "T292 T58 T78 0 T30!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engine::SpaceSummary(c.h, c.m, c.s), QString::fromLatin1(c.text));
    }
}

}  // namespace

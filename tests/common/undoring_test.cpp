#include "common/undoring.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {
QStringList state(int step, int texts)
{
    QStringList s;
    for (int i = 0; i < texts; ++i)
        s.append(i == 0 ? QString::number(step) : QString());
    return s;
}
} // namespace

TEST(UndoRing, ThreePaneRingStoresEvenAnAllEmptyFirstSnapshot)
{
    UndoRing ring(20, 3, UndoRing::EmptyStart::Stored);
    EXPECT_TRUE(ring.record({QString(), QString(), QString()}));
    EXPECT_EQ(ring.held(), 1);
    EXPECT_FALSE(ring.undo());
    EXPECT_FALSE(ring.record({QString(), QString(), QString()}));
}

TEST(UndoRing, ElevenPaneRingSkipsAnAllEmptySession)
{
    UndoRing ring(10, 11, UndoRing::EmptyStart::ComparedWithEmpty);
    EXPECT_FALSE(ring.record(QStringList(11, QString())));
    EXPECT_EQ(ring.held(), 0);
    EXPECT_TRUE(ring.record(state(1, 11)));
    ring.reset();
    EXPECT_EQ(ring.held(), 0);
    EXPECT_EQ(ring.writePosition(), 0);
}

TEST(UndoRing, KeepsTextsApartWhateverTheyHold)
{
    UndoRing ring(20, 3, UndoRing::EmptyStart::Stored);
    ring.record({u"a$&%b"_s, u"c"_s, QString()});
    ring.record({u"x"_s, u"y"_s, u"z"_s});
    EXPECT_EQ(*ring.undo(), (QStringList{u"a$&%b"_s, u"c"_s, QString()}));
}

TEST(UndoRing, TwentySlotsAfterTwentyFiveStepsAllowNineteenUndos)
{
    UndoRing ring(20, 3, UndoRing::EmptyStart::Stored);
    for (int step = 1; step <= 25; ++step)
        ring.record(state(step, 3));
    EXPECT_EQ(ring.held(), 20);
    int undos = 0;
    QStringList last;
    while (auto restored = ring.undo()) {
        last = *restored;
        ++undos;
    }
    EXPECT_EQ(undos, 19);
    EXPECT_EQ(last, state(6, 3));  // steps 1..5 were overwritten
    // The next record overwrites the dropped slot: no redo.
    EXPECT_TRUE(ring.record(state(99, 3)));
    EXPECT_EQ(*ring.undo(), state(6, 3));
}

TEST(UndoRing, TenSlotsAfterTwelveStepsAllowNineUndos)
{
    UndoRing ring(10, 11, UndoRing::EmptyStart::ComparedWithEmpty);
    for (int step = 1; step <= 12; ++step)
        ring.record(state(step, 11));
    for (int i = 1; i <= 9; ++i) {
        const auto restored = ring.undo();
        ASSERT_TRUE(restored);
        EXPECT_EQ(*restored, state(12 - i, 11));
    }
    EXPECT_FALSE(ring.undo());
    EXPECT_EQ(ring.held(), 1);
    // After an undo the restored state is the newest: recording it again stores nothing.
    EXPECT_FALSE(ring.record(state(3, 11)));
}

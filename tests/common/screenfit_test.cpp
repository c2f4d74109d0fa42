#include "common/screenfit.h"

#include <gtest/gtest.h>

TEST(ScreenFit, AWindowIsMovedAndShrunkOntoTheScreen)
{
    const QRect wide(0, 0, 1366, 768);
    const QRect small(0, 0, 1024, 768);
    // The n-gram window opens under the main window: it is pulled up into view.
    EXPECT_EQ(fitInside(QRect(184, 620, 997, 320), small), QRect(27, 448, 997, 320));
    EXPECT_EQ(fitInside(QRect(184, 620, 997, 320), wide), QRect(184, 448, 997, 320));
    // A window larger than the screen takes all of it.
    EXPECT_EQ(fitInside(QRect(-88, -6, 1200, 780), small), small);
    EXPECT_EQ(fitInside(QRect(83, -6, 1200, 780), wide), QRect(83, 0, 1200, 768));
    // One that fits stays where it is; a second screen keeps its own origin.
    EXPECT_EQ(fitInside(QRect(10, 20, 300, 600), small), QRect(10, 20, 300, 600));
    EXPECT_EQ(fitInside(QRect(2300, 700, 400, 300), QRect(1366, 0, 1024, 768)),
              QRect(1990, 468, 400, 300));
}

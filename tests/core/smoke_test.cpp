#include <gtest/gtest.h>
#include "rules/board.h"
TEST(Smoke, Builds) { EXPECT_EQ(pyra::FitBoardSize(0, 0).cols, 6); }

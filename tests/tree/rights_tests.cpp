// The integrity level, read from the tokens of real processes. Wine runs
// every program with the same rights (high), so a program with higher
// rights than hoverlane exists here only as given levels.
#include <gtest/gtest.h>

#include <algorithm>

#include "rights.h"
#include "tree_test_util.h"

namespace {

class RightsTest : public ProductTest {};

TEST_F(RightsTest, TheLevelOfThisProcessAndOfAStartedProgramComesFromTheirTokens) {
    const DWORD ours = ProcessIntegrityLevel(GetCurrentProcessId());
    const DWORD known[] = {0x1000, 0x2000, 0x3000, 0x4000};  // low, medium, high, system
    EXPECT_NE(std::end(known), std::find(std::begin(known), std::end(known), ours))
        << std::hex << ours;

    Sample sample = StartSample("/frame:Rights A@10,10,200,150");
    ASSERT_NE(nullptr, sample.frame);
    EXPECT_EQ(ours, ProcessIntegrityLevel(sample.process.id()));
    EXPECT_FALSE(RunsWithHigherRights(sample.process.id()));
    EXPECT_FALSE(RunsWithHigherRights(0));

    // What Wine cannot show: only a known, higher level outranks ours.
    EXPECT_TRUE(HasHigherRights(0x3000, 0x2000));
    EXPECT_FALSE(HasHigherRights(0x3000, 0));
    EXPECT_FALSE(HasHigherRights(0, 0x2000));
}

}  // namespace

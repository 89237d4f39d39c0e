#include <gtest/gtest.h>

#include "harness.h"

int main(int argc, char** argv) {
    int exitCode = 0;
    if (harness::RunScenarioFromCommandLine(argc, argv, &exitCode)) return exitCode;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

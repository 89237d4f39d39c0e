#include <gtest/gtest.h>

#include "harness.h"

namespace {

// Every case starts and ends with none of the programs an earlier case may
// have started still running: a program shutting down slowly would
// otherwise answer for the next case's (a second hoverlane hands over to the
// first one's sync window and ends).
class ProcessIsolation : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { harness::EndProductProcesses(); }
    void OnTestEnd(const ::testing::TestInfo&) override { harness::EndProductProcesses(); }
};

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    if (harness::RunScenarioFromCommandLine(argc, argv, &exitCode)) return exitCode;
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ProcessIsolation);
    return RUN_ALL_TESTS();
}

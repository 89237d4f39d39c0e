#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

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
    // Started: scripts/ctest-wine.sh starts a program again only when it
    // ended before this.
    if (const char* mark = std::getenv("HL_START_MARK"))
        if (std::FILE* started = std::fopen(mark, "w")) std::fclose(started);
    // ctest reads a pipe, which the runtime would buffer: a process that is
    // ended (or ends itself) before its buffer goes out would say nothing.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    int exitCode = 0;
    if (harness::RunScenarioFromCommandLine(argc, argv, &exitCode)) return exitCode;
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ProcessIsolation);
    exitCode = RUN_ALL_TESTS();
    // ctest passes a case only on this line (see hoverlane_test): a product
    // path that ends the process in the middle of a case (exit,
    // ExitProcess) never writes it, whatever its exit code.
    std::printf("%s%d\n", HL_RAN_TO_THE_END, exitCode);
    return exitCode;
}

// Base fixture for tests that run the product's programs: no hoverlane or
// uninstaller runs and no product registry key exists when a test starts,
// and none runs when it ends.
#pragma once

#include <gtest/gtest.h>

#include "harness.h"

class ProductTest : public ::testing::Test {
protected:
    void SetUp() override {
        // An uninstaller left by a failed test would still be asking.
        harness::TerminateProcessesNamed("hoverlane_uninst.exe");
        harness::CloseAllHoverlanes();
        harness::ResetProductRegistry();
    }
    void TearDown() override {
        harness::TerminateProcessesNamed("hoverlane_uninst.exe");
        harness::CloseAllHoverlanes();
    }
};

// Base fixture for tests that run the product's programs: no hoverlane runs
// and no product registry key exists when a test starts or ends.
#pragma once

#include <gtest/gtest.h>

#include "harness.h"

class ProductTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness::CloseAllHoverlanes();
        harness::ResetProductRegistry();
    }
    void TearDown() override { harness::CloseAllHoverlanes(); }
};

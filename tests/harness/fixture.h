// Base fixture for tests that run the product's programs: no product
// registry key exists when a test starts. (No program of an earlier case is
// running either: the test programs' main sees to that around every case.)
#pragma once

#include <gtest/gtest.h>

#include "harness.h"

class ProductTest : public ::testing::Test {
protected:
    void SetUp() override { harness::ResetProductRegistry(); }
};

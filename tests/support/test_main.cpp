#include "support/test_environment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    tarvik::test::UsePrivateEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "support/test_environment.h"

#include <QApplication>
#include <gtest/gtest.h>

// Window and event-loop tests need one application object for the whole run.
int main(int argc, char** argv) {
    tarvik::test::UsePrivateEnvironment();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

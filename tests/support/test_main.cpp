#include "support/test_environment.h"

#include <gtest/gtest.h>
#ifdef TARVIK_TEST_QT
#include <QApplication>
#endif

int main(int argc, char** argv) {
    tarvik::test::UsePrivateEnvironment();
#ifdef TARVIK_TEST_QT
    QApplication app(argc, argv); // one for the whole run of window and event-loop tests
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "tests/support/test_environment.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    Vaq::Test::setUpEnvironment();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

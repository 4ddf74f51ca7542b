#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "tests/support/test_environment.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    Vaq::Test::setUpEnvironment();
    const Vaq::GL::HeadlessApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

// Entry of the window tests: the program's own application object, so that
// exceptions leaving a handler reach its standard error box (which the tests
// replace with a recorder). Drawn offscreen unless the environment says
// otherwise.
#include "application.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

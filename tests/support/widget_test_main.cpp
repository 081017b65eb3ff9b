#include "platform/ui/guarded_application.h"

#include "platform/error_log.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // The program's own application object: Thai names for Qt's buttons and
    // the guard around event handlers.
    tawela::platform::GuardedApplication application(argc, argv);
    // A folder for the database layer's details of a failure, when asked.
    if (qEnvironmentVariableIsSet("TAWELA_TEST_LOG"))
        tawela::platform::error_log::setFolder(qEnvironmentVariable("TAWELA_TEST_LOG"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

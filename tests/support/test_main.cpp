#include <QCoreApplication>

#include "platform/error_log.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    // A folder for the database layer's details of a failure, when asked.
    if (qEnvironmentVariableIsSet("TAWELA_TEST_LOG"))
        tawela::platform::error_log::setFolder(qEnvironmentVariable("TAWELA_TEST_LOG"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

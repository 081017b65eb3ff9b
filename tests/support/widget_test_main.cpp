#include "platform/ui/guarded_application.h"

#include "platform/error_log.h"
#include "platform/prompt.h"

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
    // A question the test did not expect fails it: a new question in a
    // path must be answered by the tests that walk that path.
    tawela::platform::ScriptedPrompt::setUnexpectedHandler([](const QString& question) {
        ADD_FAILURE() << "a question with no answer queued: " << question.toStdString();
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

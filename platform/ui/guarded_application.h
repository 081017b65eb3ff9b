#pragma once

#include <QApplication>

namespace tawela::platform {

// The program's application object. Its Thai names for Qt's own buttons are
// installed, and no exception may leave an event handler: one that escapes a
// slot is reported as an unexpected failure and the program goes on, with
// the screen and what was typed on it intact.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    ~GuardedApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // What the person is told; tests replace it to see what was said.
    static void setFailureReporter(void (*report)(const QString& what));
    static QString failureText(const QString& what);

private:
    class QTranslator* m_thai;
};

} // namespace tawela::platform

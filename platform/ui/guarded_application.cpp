#include "platform/ui/guarded_application.h"

#include "platform/error_log.h"
#include "platform/ui/qt_prompt.h"
#include "platform/ui/thai_translator.h"

#include <exception>

namespace tawela::platform {

namespace {

void showFailure(const QString& what)
{
    QtPrompt(QApplication::activeWindow()).error(GuardedApplication::failureText(what));
}

void (*reporter)(const QString&) = &showFailure;
bool reporting = false;

} // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv)
    : QApplication(argc, argv), m_thai(new ThaiTranslator(this))
{
    installTranslator(m_thai);
}

GuardedApplication::~GuardedApplication() = default;

void GuardedApplication::setFailureReporter(void (*report)(const QString& what))
{
    reporter = report ? report : &showFailure;
}

QString GuardedApplication::failureText(const QString& what)
{
    return QStringLiteral("เกิดข้อผิดพลาดที่ไม่คาดคิด คำสั่งนี้ไม่สำเร็จ ข้อมูลที่ใส่ไว้บนหน้าจอยังอยู่\n") + what;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    QString what;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        what = QString::fromUtf8(e.what());
    } catch (...) {
        what = QStringLiteral("ไม่ทราบสาเหตุ");
    }
    error_log::write(QStringLiteral("unexpected failure in an event handler: ") + what);
    // A failure while the last one is being shown is not shown again.
    if (!reporting) {
        reporting = true;
        reporter(what);
        reporting = false;
    }
    return false;
}

} // namespace tawela::platform

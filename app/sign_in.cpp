#include "app/sign_in.h"

#include "admin/settings.h"
#include "platform/db/db_error.h"
#include "platform/error_log.h"
#include "platform/password_hash.h"

namespace tawela::app {

namespace ph = platform::password_hash;

bool passwordMatches(const QString& stored, const QString& typed)
{
    if (stored.isEmpty())
        return false;
    if (ph::isHash(stored))
        return ph::verify(stored, typed);
    return stored == typed;
}

SignInForm::SignInForm(AppConfig config, Connections& connections, platform::Prompt& prompt,
                       std::function<QDateTime()> clock)
    : m_config(std::move(config)), m_connections(connections), m_prompt(prompt),
      m_clock(std::move(clock))
{}

SignInForm::Result SignInForm::enterPressed()
{
    if (focus == Field::Code) {
        focus = Field::Password;
        return Result::Retry;
    }
    return signIn();
}

SignInForm::Result SignInForm::signIn()
{
    // Every attempt opens the databases afresh.
    try {
        m_connections.open(m_config);
    } catch (const platform::db::DbError& e) {
        m_prompt.plain(e.message());
        // A server out of reach may answer at the next try, as the message
        // says: the sign-in stays. A file that cannot be used ends the program.
        return e.number() == platform::db::error_number::ServerLost ? Result::Retry : Result::Fatal;
    }
    try {
        const admin::Settings settings = admin::loadSettings(m_connections.main());
        admin::StaffStore staff(m_connections.main());
        std::optional<admin::Employee> employee = staff.find(code);
        if (!employee) {
            m_prompt.information(QStringLiteral("ไม่พบรหัสพนักงานในระบบ"));
            code.clear();
            focus = Field::Code;
            return Result::Retry;
        }
        // After three wrong passwords for a code each further try waits a
        // little longer (2, 4, 8 … up to 60 seconds): guessing takes days.
        Failures& failed = m_failures[employee->code.toLower()];
        const QDateTime now = m_clock();
        if (failed.nextTry.isValid() && now < failed.nextTry) {
            m_prompt.information(QStringLiteral("ใส่รหัสผ่านผิดหลายครั้ง กรุณารอ ") +
                                 QString::number(std::max<qint64>(1, now.secsTo(failed.nextTry))) +
                                 QStringLiteral(" วินาทีแล้วลองใหม่"));
            password.clear();
            focus = Field::Password;
            return Result::Retry;
        }
        if (ph::isHash(employee->password) && !ph::acceptable(employee->password)) {
            m_prompt.error(QStringLiteral("รหัสผ่านที่เก็บไว้ของพนักงานนี้ใช้ค่าที่โปรแกรมไม่รับ "
                                          "กรุณาตั้งรหัสผ่านใหม่ด้วยคำสั่ง tawela-admin reset-password"));
            password.clear();
            focus = Field::Password;
            return Result::Retry;
        }
        if (!passwordMatches(employee->password, password)) {
            ++failed.count;
            if (failed.count >= 3)
                failed.nextTry = now.addSecs(std::min(60, 1 << std::min(failed.count - 2, 6)));
            m_prompt.information(QStringLiteral("รหัสผ่านไม่ถูกต้อง"));
            password.clear();
            focus = Field::Password;
            return Result::Retry;
        }
        m_failures.remove(employee->code.toLower());
        platform::error_log::setEmployee(employee->code);
        if (!ph::isHash(employee->password)) {
            // A password kept as plain text by older data is replaced by its hash now.
            employee->password = ph::hash(password);
            staff.update(*employee);
        }
        m_session = admin::Session{};
        m_session.policy = employee->policy;
        m_session.card = employee->card;
        m_session.tool = employee->tool;
        m_session.blacklist = employee->blacklist;
        m_session.bk = employee->bk;
        m_session.sp1 = employee->sp1;
        m_session.employeeCode = employee->code;
        m_session.employeeName = settings.useLogin ? employee->name : QString();
        m_session.idCardReaderEnabled = m_config.idCardReaderEnabled;
        m_session.fakeProductText = m_config.fakeProductText;
        password.clear();
        return Result::SignedIn;
    } catch (const platform::db::DbError& e) {
        m_prompt.error(e.description());
        return Result::Retry;
    }
}

} // namespace tawela::app

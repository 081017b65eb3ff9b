#include "customers/customer_form.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"

#include <QDir>
#include <QFileInfo>

namespace tawela::customers {

using platform::MailAccount;
using platform::MailAccountFile;
using platform::MailFailure;

QString CustomerMail::folder() const
{
    return m_accountFile.isEmpty() ? QDir::homePath() : QFileInfo(m_accountFile).path();
}

void CustomerMail::toggle()
{
    panel.visible = !panel.visible;
    if (panel.visible) {
        panel.to = m_form.customer.email;
        panel.everyone = false;
    }
}

void CustomerMail::collectAllAddresses()
{
    QString to;
    panel.skipped.clear();
    if (m_form.m_records) {
        try {
            const platform::db::TableInfo& table = m_form.m_records->table();
            const qsizetype column = table.require(QStringLiteral("email"));
            const qsizetype code = table.require(QStringLiteral("C_code"));
            const qsizetype name = table.require(QStringLiteral("C_name"));
            for (qsizetype r = 0; r < m_form.m_records->count(); ++r) {
                const QString address = m_form.m_records->valueAt(r, column).toString().trimmed();
                if (address.isEmpty())
                    continue;
                // One wrong address must not stop the mail to everyone else.
                if (!platform::plausibleAddress(address)) {
                    panel.skipped << QStringLiteral("%1 %2 (%3)")
                                         .arg(m_form.m_records->valueAt(r, code).toString(),
                                              m_form.m_records->valueAt(r, name).toString(),
                                              address);
                    continue;
                }
                to += QLatin1Char(';') + address;
            }
        } catch (const platform::db::DbError& e) {
            m_form.m_prompt.plain(e.description());
            return;
        }
    }
    panel.to = to;
    panel.everyone = !to.isEmpty();
}

std::optional<MailAccount> CustomerMail::account() const
{
    QString error;
    std::optional<MailAccount> account = MailAccountFile(m_accountFile).read(&error);
    if (!account) {
        m_form.m_prompt.error(error);
        return std::nullopt;
    }
    account->password.clear();
    return account;
}

bool CustomerMail::clearLoginAccepted(const MailAccount& account)
{
    if (account.security != platform::MailSecurity::None || account.user.isEmpty() ||
        m_clearLoginAccepted)
        return true;
    m_clearLoginAccepted = m_form.m_prompt.askYesNo(
        QStringLiteral("การตั้งค่านี้ \"ไม่เข้ารหัส\" ชื่อผู้ใช้และรหัสผ่านอีเมลจะถูกส่งผ่านเครือข่ายโดยไม่เข้ารหัส "
                       "ผู้อื่นในเครือข่ายอาจเห็นได้ ต้องการใช้การตั้งค่านี้หรือไม่"));
    return m_clearLoginAccepted;
}

std::optional<platform::MailAccountProblem::Field>
CustomerMail::storeAccount(const MailAccount& account)
{
    if (const auto problem = platform::checkAccount(account)) {
        m_form.m_prompt.stop(problem->message);
        return problem->field;
    }
    if (!clearLoginAccepted(account))
        return platform::MailAccountProblem::Field::User;
    QString error;
    if (!MailAccountFile(m_accountFile).write(account, &error)) {
        m_form.m_prompt.error(error);
        return platform::MailAccountProblem::Field::Server;
    }
    return std::nullopt;
}

std::optional<MailJob> CustomerMail::prepare()
{
    if (panel.sending)
        return std::nullopt;
    QString error;
    const std::optional<MailAccount> account = MailAccountFile(m_accountFile).read(&error);
    if (!account) {
        m_form.m_prompt.error(error);
        return std::nullopt;
    }
    if (!account->configured()) {
        m_form.m_prompt.stop(QStringLiteral("ยังไม่ได้ตั้งค่าบัญชีอีเมลของร้าน: กด \"ตั้งค่าอีเมล\" "
                                            "แล้วใส่เครื่องแม่ข่าย พอร์ต และอีเมลของร้านก่อน"));
        return std::nullopt;
    }
    const QStringList to = platform::splitAddresses(panel.to);
    const QStringList cc = platform::splitAddresses(panel.cc);
    if (to.isEmpty() && cc.isEmpty()) {
        m_form.m_prompt.stop(QStringLiteral("ใส่อีเมลผู้รับในช่อง TO ก่อน"));
        return std::nullopt;
    }
    if (!clearLoginAccepted(*account))
        return std::nullopt;
    MailJob job{*account, {}, {}};
    platform::MailMessage& m = job.message;
    m.from = account->sender;
    try {
        m.fromName =
            m_form.m_main->scalar(QStringLiteral("SELECT company_name FROM config_setting"))
                .toString();
    } catch (const platform::db::DbError&) {
        // without the shop's name the mail still goes, from its address alone
    }
    if (panel.everyone) {
        m.to = QStringList{account->sender};
        m.bcc = to;
    } else {
        m.to = to;
    }
    m.cc = cc;
    m.subject = panel.subject;
    m.body = panel.body;
    m.attachment = panel.attachment.trimmed();
    try {
        // Put together here, so a missing attachment or a wrong address is
        // said before anything goes to the server.
        job.composed = platform::composeMail(m, QDateTime::currentDateTime());
    } catch (const MailFailure& f) {
        m_form.m_prompt.plain(f.message);
        return std::nullopt;
    }
    panel.sending = true;
    return job;
}

void CustomerMail::finished(const std::optional<MailFailure>& failure, const QStringList& refused)
{
    panel.sending = false;
    if (failure) {
        m_form.m_prompt.plain(failure->message);
        return;
    }
    QString said = QStringLiteral("เมล์ ส่งเรียบร้อย");
    if (panel.everyone && !panel.skipped.isEmpty())
        said += QStringLiteral("\nไม่ได้ส่งถึงลูกค้า %1 ราย เพราะอีเมลที่เก็บไว้ไม่ถูกต้อง:\n")
                    .arg(panel.skipped.size()) +
                panel.skipped.join(u'\n');
    if (!refused.isEmpty())
        said += QStringLiteral("\nเครื่องแม่ข่ายไม่รับอีเมลถึง %1 ที่อยู่:\n").arg(refused.size()) +
                refused.join(u'\n');
    panel.visible = false;
    m_form.m_prompt.plain(said);
}

bool CustomerMail::send()
{
    const std::optional<MailJob> job = prepare();
    if (!job)
        return false;
    QStringList refused;
    const std::optional<MailFailure> failure = platform::sendComposed(
        job->account, job->message, job->composed, job->toMany() ? &refused : nullptr);
    finished(failure, refused);
    return !failure;
}

} // namespace tawela::customers

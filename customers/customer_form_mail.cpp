#include "customers/customer_form.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"

#include <QDir>
#include <QFileInfo>

namespace tawela::customers {

using platform::MailAccount;
using platform::MailAccountFile;
using platform::MailFailure;

QString CustomerForm::mailFolder() const
{
    return m_mailAccountFile.isEmpty() ? QDir::homePath() : QFileInfo(m_mailAccountFile).path();
}

void CustomerForm::toggleMail()
{
    mailing.visible = !mailing.visible;
    if (mailing.visible) {
        mailing.to = customer.email;
        mailing.everyone = false;
    }
}

void CustomerForm::collectAllAddresses()
{
    QString to;
    mailing.skipped.clear();
    if (m_records) {
        try {
            const platform::db::TableInfo& table = m_records->table();
            const qsizetype column = table.require(QStringLiteral("email"));
            const qsizetype code = table.require(QStringLiteral("C_code"));
            const qsizetype name = table.require(QStringLiteral("C_name"));
            for (qsizetype r = 0; r < m_records->count(); ++r) {
                const QString address = m_records->valueAt(r, column).toString().trimmed();
                if (address.isEmpty())
                    continue;
                // One wrong address must not stop the mail to everyone else.
                if (!platform::plausibleAddress(address)) {
                    mailing.skipped << QStringLiteral("%1 %2 (%3)")
                                           .arg(m_records->valueAt(r, code).toString(),
                                                m_records->valueAt(r, name).toString(), address);
                    continue;
                }
                to += QLatin1Char(';') + address;
            }
        } catch (const platform::db::DbError& e) {
            m_prompt.plain(e.description());
            return;
        }
    }
    mailing.to = to;
    mailing.everyone = !to.isEmpty();
}

std::optional<MailAccount> CustomerForm::mailAccount() const
{
    QString error;
    std::optional<MailAccount> account = MailAccountFile(m_mailAccountFile).read(&error);
    if (!account) {
        m_prompt.error(error);
        return std::nullopt;
    }
    account->password.clear();
    return account;
}

bool CustomerForm::clearLoginAccepted(const MailAccount& account)
{
    if (account.security != platform::MailSecurity::None || account.user.isEmpty() ||
        m_clearLoginAccepted)
        return true;
    m_clearLoginAccepted = m_prompt.askYesNo(
        QStringLiteral("การตั้งค่านี้ \"ไม่เข้ารหัส\" ชื่อผู้ใช้และรหัสผ่านอีเมลจะถูกส่งผ่านเครือข่ายโดยไม่เข้ารหัส "
                       "ผู้อื่นในเครือข่ายอาจเห็นได้ ต้องการใช้การตั้งค่านี้หรือไม่"));
    return m_clearLoginAccepted;
}

std::optional<platform::MailAccountProblem::Field>
CustomerForm::storeMailAccount(const MailAccount& account)
{
    if (const auto problem = platform::checkAccount(account)) {
        m_prompt.stop(problem->message);
        return problem->field;
    }
    if (!clearLoginAccepted(account))
        return platform::MailAccountProblem::Field::User;
    QString error;
    if (!MailAccountFile(m_mailAccountFile).write(account, &error)) {
        m_prompt.error(error);
        return platform::MailAccountProblem::Field::Server;
    }
    return std::nullopt;
}

std::optional<CustomerForm::MailJob> CustomerForm::prepareMail()
{
    if (mailing.sending)
        return std::nullopt;
    QString error;
    const std::optional<MailAccount> account = MailAccountFile(m_mailAccountFile).read(&error);
    if (!account) {
        m_prompt.error(error);
        return std::nullopt;
    }
    if (!account->configured()) {
        m_prompt.stop(QStringLiteral("ยังไม่ได้ตั้งค่าบัญชีอีเมลของร้าน: กด \"ตั้งค่าอีเมล\" "
                                     "แล้วใส่เครื่องแม่ข่าย พอร์ต และอีเมลของร้านก่อน"));
        return std::nullopt;
    }
    const QStringList to = platform::splitAddresses(mailing.to);
    const QStringList cc = platform::splitAddresses(mailing.cc);
    if (to.isEmpty() && cc.isEmpty()) {
        m_prompt.stop(QStringLiteral("ใส่อีเมลผู้รับในช่อง TO ก่อน"));
        return std::nullopt;
    }
    if (!clearLoginAccepted(*account))
        return std::nullopt;
    MailJob job{*account, {}, {}};
    platform::MailMessage& m = job.message;
    m.from = account->sender;
    try {
        m.fromName =
            m_main->scalar(QStringLiteral("SELECT company_name FROM config_setting")).toString();
    } catch (const platform::db::DbError&) {
        // without the shop's name the mail still goes, from its address alone
    }
    if (mailing.everyone) {
        m.to = QStringList{account->sender};
        m.bcc = to;
    } else {
        m.to = to;
    }
    m.cc = cc;
    m.subject = mailing.subject;
    m.body = mailing.body;
    m.attachment = mailing.attachment.trimmed();
    try {
        // Put together here, so a missing attachment or a wrong address is
        // said before anything goes to the server.
        job.composed = platform::composeMail(m, QDateTime::currentDateTime());
    } catch (const MailFailure& f) {
        m_prompt.plain(f.message);
        return std::nullopt;
    }
    mailing.sending = true;
    return job;
}

void CustomerForm::mailFinished(const std::optional<MailFailure>& failure,
                                const QStringList& refused)
{
    mailing.sending = false;
    if (failure) {
        m_prompt.plain(failure->message);
        return;
    }
    QString said = QStringLiteral("เมล์ ส่งเรียบร้อย");
    if (mailing.everyone && !mailing.skipped.isEmpty())
        said += QStringLiteral("\nไม่ได้ส่งถึงลูกค้า %1 ราย เพราะอีเมลที่เก็บไว้ไม่ถูกต้อง:\n")
                    .arg(mailing.skipped.size()) +
                mailing.skipped.join(u'\n');
    if (!refused.isEmpty())
        said += QStringLiteral("\nเครื่องแม่ข่ายไม่รับอีเมลถึง %1 ที่อยู่:\n").arg(refused.size()) +
                refused.join(u'\n');
    mailing.visible = false;
    m_prompt.plain(said);
}

bool CustomerForm::sendMail()
{
    const std::optional<MailJob> job = prepareMail();
    if (!job)
        return false;
    QStringList refused;
    const std::optional<MailFailure> failure = platform::sendComposed(
        job->account, job->message, job->composed, job->toMany() ? &refused : nullptr);
    mailFinished(failure, refused);
    return !failure;
}

} // namespace tawela::customers

#include "app/main_menu.h"

#include "admin/settings.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"

namespace tawela::app {

MainMenuForm::MainMenuForm(admin::Session session, std::shared_ptr<platform::db::Database> main,
                           platform::Prompt& prompt,
                           std::shared_ptr<platform::db::Database> personal)
    : m_session(std::move(session)), m_main(std::move(main)), m_prompt(prompt),
      m_personal(std::move(personal))
{}

bool MainMenuForm::contractsAllowed() const
{
    return m_session.policyRight() != admin::Right::NotAllowed;
}

bool MainMenuForm::toolsAllowed() const
{
    return m_session.toolRight() != admin::Right::NotAllowed;
}

bool MainMenuForm::customersAllowed() const
{
    return m_session.bkRight() != admin::Right::NotAllowed;
}

bool MainMenuForm::backupDue(bool alert, qint64 duration, const QDate& lastBackup,
                             const QDate& today)
{
    if (!alert || !lastBackup.isValid() || duration <= 0)
        return false;
    return duration < lastBackup.daysTo(today);
}

MainMenuForm::ExitDecision MainMenuForm::exit(const QDate& today)
{
    try {
        platform::db::Recordset row(m_main, QStringLiteral("config_setting"));
        if (row.isEmpty())
            return ExitDecision::Quit;
        // An empty duration counts as none (0): no reminder.
        const admin::Settings s = admin::readSettings(row);
        if (!backupDue(s.backupAlert, s.backupDuration, s.backupDate, today))
            return ExitDecision::Quit;
    } catch (const platform::db::DbError&) {
        return ExitDecision::Quit; // a reminder must never keep the shop from closing
    }
    const auto answer =
        m_prompt.show(QStringLiteral("ข้อแนะนำ"),
                      QStringLiteral("ถึงเวลาต้องทำสำรองข้อมูลแล้ว... ต้องการสำรองข้อมูลหรือไม่"),
                      platform::PromptIcon::Question, platform::PromptButtons::YesNo);
    return answer == platform::PromptAnswer::Yes ? ExitDecision::Backup : ExitDecision::Quit;
}

} // namespace tawela::app

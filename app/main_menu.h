#pragma once

#include "admin/session.h"
#include "platform/db/database.h"
#include "platform/prompt.h"

#include <QDate>

#include <memory>

namespace tawela::app {

// The main menu's logic: which entries the signed-in employee may use and
// the way out with its backup reminder.
class MainMenuForm {
public:
    MainMenuForm(admin::Session session, std::shared_ptr<platform::db::Database> main,
                 platform::Prompt& prompt,
                 std::shared_ptr<platform::db::Database> personal = nullptr);

    // Access gating; the session never changes, so neither do these.
    bool contractsAllowed() const; // "ขายฝาก"
    bool toolsAllowed() const; // the "เครื่องมือ" menu, the about box included
    bool customersAllowed() const; // "ข้อมูลลูกค้า"

    enum class ExitDecision {
        Quit,   // connections may be closed and the program ends
        Backup, // the person chose to back up first; the program stays
    };
    // "ออก": asks "ข้อแนะนำ" when backups are due (more days than
    // Backup_duration since backup_date, with Backup_alert on).
    ExitDecision exit(const QDate& today = QDate::currentDate());

    static bool backupDue(bool alert, qint64 duration, const QDate& lastBackup, const QDate& today);

    const admin::Session& session() const { return m_session; }
    const std::shared_ptr<platform::db::Database>& mainDatabase() const { return m_main; }
    platform::Prompt& prompt() const { return m_prompt; }
    const std::shared_ptr<platform::db::Database>& personalDatabase() const { return m_personal; }

private:
    admin::Session m_session;
    std::shared_ptr<platform::db::Database> m_main;
    platform::Prompt& m_prompt;
    std::shared_ptr<platform::db::Database> m_personal;
};

} // namespace tawela::app

#include "app/setup.h"

#include "admin/settings.h"
#include "admin/staff.h"
#include "app/config.h"
#include "app/connections.h"
#include "app/home.h"
#include "platform/db/db_error.h"
#include "platform/db/transaction.h"
#include "platform/password_hash.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace tawela::app {

namespace {

// The number file and folder failures have always carried.
constexpr int FileAccessError = 75;

const QString SetupMark = QStringLiteral("setup_done");

} // namespace

bool isSetUp(const QString& homeFolder)
{
    const QString personal = defaultConfig(homeFolder).personalDbPath();
    if (!QFileInfo::exists(personal))
        return false;
    try {
        auto db = platform::db::Database::open(personal, platform::db::OpenMode::ExistingOnly);
        if (!db->hasTable(QStringLiteral("tawela_meta")))
            return false;
        return !db->scalar(QStringLiteral("SELECT value FROM tawela_meta WHERE name = ?"),
                           {SetupMark})
                    .toString()
                    .isEmpty();
    } catch (const platform::db::DbError&) {
        return false;
    }
}

void markSetUp(platform::db::Database& personal)
{
    personal.exec(QStringLiteral("INSERT INTO tawela_meta (name, value) VALUES (?, ?) "
                                 "ON CONFLICT(name) DO UPDATE SET value = excluded.value"),
                  {SetupMark, QDateTime::currentDateTime().toString(Qt::ISODate)});
}

SetupForm::SetupForm(QString homeFolder, platform::Prompt& prompt)
    : m_home(std::move(homeFolder)), m_prompt(prompt)
{}

void SetupForm::fail(int number, const QString& description)
{
    m_prompt.plain(QString::number(number));
    m_prompt.plain(description);
}

bool SetupForm::confirm()
{
    if (!m_confirmEnabled)
        return false;
    // Nobody could sign in with an empty code or password, and nothing
    // could undo it from the program.
    if (employeeCode.trimmed().isEmpty()) {
        m_prompt.stop(QStringLiteral("กรุณาใส่รหัสพนักงาน"));
        m_refused = Field::Code;
        return false;
    }
    if (password.isEmpty()) {
        m_prompt.stop(QStringLiteral("กรุณาใส่รหัสผ่าน รหัสผ่านว่างจะทำให้เข้าสู่ระบบไม่ได้"));
        m_refused = Field::Password;
        return false;
    }
    m_refused = Field::None;
    m_confirmEnabled = false;
    if (isSetUp(m_home)) {
        fail(FileAccessError, QStringLiteral("โปรแกรมได้ตั้งค่าเริ่มต้นในโฟลเดอร์นี้ไว้แล้ว ไม่ต้องตั้งค่าซ้ำ"));
        return false;
    }
    try {
        for (const char* folder : {"Images", "Temp", "Excel"}) {
            const QString path = m_home + u'/' + QLatin1String(folder);
            if (!makePrivateFolder(path))
                throw ConfigError(QStringLiteral("ไม่สามารถสร้างโฟลเดอร์ ") + path);
        }
        // A counter pointed at the shop's server keeps its tawela.ini: the
        // first employee goes to the server.
        const QString ini = AppConfig::iniPathFor(m_home);
        if (!QFileInfo::exists(ini) || !readConfig(m_home).server)
            writeSetupIni(m_home);
        const AppConfig config = readConfig(m_home);
        Connections::createMissing(config);

        Connections connections;
        connections.open(config);
        {
            platform::db::Transaction tx(*connections.main());
            admin::Settings settings = admin::loadSettings(connections.main());
            settings.companyName = companyName;
            admin::saveSettings(connections.main(), settings);
            admin::Employee first;
            first.code = employeeCode;
            first.name = employeeName;
            first.password =
                password.isEmpty() ? QString() : platform::password_hash::hash(password);
            const QString all = admin::rightText(admin::Right::Allowed);
            first.policy = first.card = first.tool = first.blacklist = first.bk = first.rs = all;
            // The shop's first employee can also restore a backup: nobody
            // else could give that right before staff are managed.
            first.sp1 = all;
            admin::StaffStore(connections.main()).add(first);
            tx.commit();
        }
        markSetUp(*connections.personal());
        connections.close();
    } catch (const ConfigError& e) {
        fail(FileAccessError, e.description());
        return false;
    } catch (const platform::db::DbError& e) {
        fail(e.number(), e.description());
        return false;
    }
    password.clear();
    m_completed = true;
    return true;
}

} // namespace tawela::app

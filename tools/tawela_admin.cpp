// tawela-admin: the technician's command-line companion.
#include "admin/backup.h"
#include "admin/settings.h"
#include "admin/staff.h"
#include "app/config.h"
#include "app/connections.h"
#include "app/home.h"
#include "app/startup.h"
#include "platform/db/db_error.h"
#include "platform/error_log.h"
#include "platform/password_hash.h"
#include "platform/prompt.h"
#include "platform/version.h"

#include "app/schema.h"
#include "app/setup.h"
#include "reports/default_reports.h"
#include "reports/report_runner.h"
#include "tools/demo_shop.h"
#include "tools/migrate.h"

#include <QDir>
#include <QFileInfo>

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {

using namespace tawela;

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

// Prints messages instead of showing boxes.
class ConsolePrompt : public platform::Prompt {
public:
    platform::PromptAnswer show(const QString& title, const QString& text, platform::PromptIcon,
                                platform::PromptButtons) override
    {
        if (!title.isEmpty())
            err() << title << ": ";
        err() << text << Qt::endl;
        return platform::PromptAnswer::Ok;
    }
};

void usage()
{
    err() << "usage: tawela-admin init [--home DIR]\n"
             "       tawela-admin --version\n"
             "       tawela-admin check [--home DIR]\n"
             "       tawela-admin demo [--home DIR]\n"
             "       tawela-admin reset-password CODE [--home DIR]\n"
             "       tawela-admin server-init --host HOST [--port N] [--database DB] [--user U]\n"
             "                    [--schema NAME] [--home DIR]\n"
             "       tawela-admin migrate --to-server --host HOST [--port N] [--database DB]\n"
             "                    [--user U] [--schema NAME] [--home DIR]\n"
             "       tawela-admin migrate --to-files [--home DIR]\n"
             "       tawela-admin backup --to FOLDER [--keep N] [--home DIR]\n"
             "       tawela-admin verify-backup FOLDER\n"
             "       tawela-admin restore --from FOLDER [--yes] [--home DIR]\n"
             "       tawela-admin render REPORT (--pdf OUT | --csv OUT) [--selection F] [--filter "
             "F]\n"
             "                    [--formula \"name = 'value'\"]... [--home DIR]\n"
             "\n"
             "init   creates the home folder, tawela.ini and the four databases\n"
             "       (an existing tawela.ini and existing databases are kept)\n"
             "check  opens the four databases as sign-in does and counts the\n"
             "       contracts, customers and receipts\n"
             "backup  copies the shop's databases, tawela.ini, report definitions,\n"
             "       mail account and the listed folders into FOLDER as one set with\n"
             "       its manifest (tawela-backup.json); with --keep N into a new dated\n"
             "       folder of FOLDER each time, keeping the newest N sets\n"
             "verify-backup  reads every file of a set against its manifest; exit 0\n"
             "       only for a complete set that matches\n"
             "restore  puts a checked set back in place of the shop's files, all or\n"
             "       nothing (the replaced files kept in \"ก่อนเรียกคืน-…\"); asks first\n"
             "       unless --yes\n"
             "render draws a report of the data folder to a PDF file\n"
             "demo   sets up a sample shop with staff, customers and contracts\n"
             "reset-password  asks twice for a new password of employee CODE and\n"
             "       stores it (for a shop that lost its only password)\n"
             "server-init  makes the shop's tables and first rows on an empty server\n"
             "       database and points tawela.ini at it\n"
             "migrate  copies main, customer and archive to the server (--to-server)\n"
             "       or back to files (--to-files), checks the copy, then switches\n"
             "       tawela.ini; the server user's password comes from PGPASSWORD or\n"
             "       is asked for (empty: ~/.pgpass)\n"
          << Qt::flush;
}

// The folders, databases and report definitions of a shop, what is missing
// of them. Throws DbError.
void makeShop(const app::AppConfig& config)
{
    for (const char* folder : {"Images", "Temp", "Excel"})
        app::makePrivateFolder(config.dataFolder + QLatin1String(folder));
    app::Connections::createMissing(config);
    for (const QString& name : reports::installMissingReports(config.dataFolder))
        out() << "แบบรายงาน: " << name << Qt::endl;
}

void printDatabases(const app::AppConfig& config)
{
    for (auto role : {app::DatabaseRole::Main, app::DatabaseRole::Customer,
                      app::DatabaseRole::Archive, app::DatabaseRole::Personal})
        out() << app::roleTitle(role) << ": " << app::Connections::whereIs(config, role)
              << Qt::endl;
}

// Runs a command's work: its own exit status, or 1 with the failure on the
// console (a database error as sign-in shows it, any other by its description).
int reported(const std::function<int()>& work)
{
    try {
        return work();
    } catch (const platform::db::DbError& e) {
        err() << e.message() << Qt::endl;
    } catch (const platform::Error& e) {
        err() << e.description() << Qt::endl;
    }
    return 1;
}

// The home folder made (owner-only) when missing; false (said) when it cannot be.
bool madeHome(const QString& home)
{
    if (app::makePrivateFolder(home))
        return true;
    err() << "ไม่สามารถสร้างโฟลเดอร์ " << home << Qt::endl;
    return false;
}

int init(const QString& home, bool relative = false)
{
    if (!madeHome(home))
        return 1;
    const QString ini = app::AppConfig::iniPathFor(home);
    return reported([&]() -> int {
        if (!QFileInfo::exists(ini)) {
            app::writeSetupIni(home, app::newDatabasePassword(), relative);
            out() << "เขียนแฟ้ม " << ini << Qt::endl;
        } else {
            out() << "ใช้แฟ้ม " << ini << " ที่มีอยู่แล้ว" << Qt::endl;
        }
        const app::AppConfig config = app::readConfig(home);
        makeShop(config);
        printDatabases(config);
        return 0;
    });
}

// Reads tawela.ini and opens the four databases as sign-in does, telling
// what is wrong on the console.
bool openShop(const QString& home, std::optional<app::AppConfig>& config,
              app::Connections& connections)
{
    ConsolePrompt prompt;
    config = app::readConfigOrReport(home, prompt);
    return config && app::openConnectionsOrReport(connections, *config, prompt);
}

// A line from the terminal without showing what is typed; from a pipe as it comes.
QString readSecret(const char* question)
{
    err() << QString::fromUtf8(question) << Qt::flush;
    termios before{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        termios quiet = before;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        err() << Qt::endl;
    }
    return QString::fromUtf8(line.c_str());
}

int resetPassword(const QString& home, const QString& code)
{
    if (code.isEmpty() || code.startsWith(QLatin1String("--"))) {
        usage();
        return 2;
    }
    std::optional<app::AppConfig> config;
    app::Connections connections;
    if (!openShop(home, config, connections))
        return 1;
    try {
        admin::StaffStore staff(connections.main());
        std::optional<admin::Employee> employee = staff.find(code);
        if (!employee) {
            err() << "ไม่พบรหัสพนักงาน " << code << Qt::endl;
            return 1;
        }
        const QString first = readSecret("รหัสผ่านใหม่: ");
        const QString second = readSecret("ใส่รหัสผ่านใหม่อีกครั้ง: ");
        if (first.isEmpty()) {
            err() << "รหัสผ่านต้องไม่ว่าง ไม่ได้เปลี่ยนรหัสผ่าน" << Qt::endl;
            return 1;
        }
        if (first != second) {
            err() << "รหัสผ่านทั้งสองครั้งไม่ตรงกัน ไม่ได้เปลี่ยนรหัสผ่าน" << Qt::endl;
            return 1;
        }
        employee->password = platform::password_hash::hash(first);
        staff.update(*employee);
    } catch (const platform::db::DbError& e) {
        err() << e.message() << Qt::endl;
        return 1;
    }
    connections.close();
    out() << "เปลี่ยนรหัสผ่านของ " << code << " แล้ว" << Qt::endl;
    return 0;
}

int check(const QString& home)
{
    std::optional<app::AppConfig> config;
    app::Connections connections;
    if (!openShop(home, config, connections))
        return 1;
    try {
        auto count = [](const platform::db::Database& db, const char* table) {
            return db.scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table))
                .toLongLong();
        };
        out() << "สัญญา: " << count(*connections.main(), "chumnum") << Qt::endl;
        out() << "ลูกค้า: " << count(*connections.customer(), "customer") << Qt::endl;
        out() << "ใบเสร็จ: " << count(*connections.main(), "service") << Qt::endl;
    } catch (const platform::db::DbError& e) {
        err() << e.message() << Qt::endl;
        return 1;
    }
    connections.close();
    return 0;
}

int demo(const QString& home)
{
    // Paths from its own folder: a copied demo folder opens its own files.
    if (const int rc = init(home, true); rc != 0)
        return rc;
    std::optional<app::AppConfig> config;
    app::Connections connections;
    if (!openShop(home, config, connections))
        return 1;
    try {
        const int contracts = tools::fillDemoShop(connections, QDate::currentDate());
        out() << "ร้านตัวอย่าง: สัญญา " << contracts
              << " ฉบับ พนักงาน A01 (รหัสผ่าน 1234), B02 (5678), C03 (0000)" << Qt::endl;
    } catch (const platform::db::DbError& e) {
        err() << e.message() << Qt::endl;
        return 1;
    }
    return 0;
}

int render(const QString& home, const QStringList& args)
{
    reports::ReportRequest request;
    QString pdf;
    bool csv = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (a == QLatin1String("--pdf"))
            pdf = next, ++i;
        else if (a == QLatin1String("--csv"))
            pdf = next, csv = true, ++i;
        else if (a == QLatin1String("--selection"))
            request.selection = next, ++i;
        else if (a == QLatin1String("--filter"))
            request.filter = next, ++i;
        else if (a == QLatin1String("--formula"))
            request.values << next, ++i;
        else if (a == QLatin1String("--home"))
            ++i;
        else if (request.file.isEmpty() && !a.startsWith(QLatin1String("--")))
            request.file = a;
    }
    if (request.file.isEmpty() || pdf.isEmpty()) {
        usage();
        return 2;
    }
    std::optional<app::AppConfig> config;
    app::Connections connections;
    if (!openShop(home, config, connections))
        return 1;
    try {
        const reports::ReportRunner runner(config->dataFolder, connections.main(),
                                           connections.customer());
        if (csv)
            runner.renderToCsv(request, pdf);
        else
            runner.renderToPdf(request, pdf);
    } catch (const reports::ReportError& e) {
        err() << e.description() << Qt::endl;
        return 1;
    }
    out() << pdf << Qt::endl;
    return 0;
}

// --host, --port, --database, --user, --schema; the password from
// PGPASSWORD or asked for.
std::optional<platform::db::ServerAddress> serverFromArguments(const QStringList& args)
{
    platform::db::ServerAddress a = app::defaultServerAddress();
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        const QString& key = args[i];
        const QString& value = args[i + 1];
        if (key == QLatin1String("--host"))
            a.host = value;
        else if (key == QLatin1String("--port"))
            a.port = value.toInt();
        else if (key == QLatin1String("--database"))
            a.database = value;
        else if (key == QLatin1String("--user"))
            a.user = value;
        else if (key == QLatin1String("--schema"))
            a.schema = value;
    }
    if (a.host.isEmpty() || a.port <= 0 || a.port > 65535)
        return std::nullopt;
    if (qEnvironmentVariableIsSet("PGPASSWORD"))
        a.password = qEnvironmentVariable("PGPASSWORD");
    else
        a.password = readSecret("รหัสผ่านของผู้ใช้บนเครื่องแม่ข่าย (ว่างไว้ถ้าใช้ ~/.pgpass): ");
    return a;
}

int serverInit(const QString& home, const QStringList& args)
{
    const auto server = serverFromArguments(args);
    if (!server) {
        usage();
        return 2;
    }
    if (!madeHome(home))
        return 1;
    return reported([&]() -> int {
        const bool hadIni = QFileInfo::exists(app::AppConfig::iniPathFor(home));
        app::AppConfig config = app::readConfig(home);
        if (!config.server && QFileInfo::exists(config.mainDbPath)) {
            err() << "ร้านนี้มีแฟ้มข้อมูลอยู่แล้ว ใช้ tawela-admin migrate --to-server เพื่อย้ายข้อมูลขึ้นเครื่องแม่ข่าย"
                  << Qt::endl;
            return 1;
        }
        // Everything is tried with the server first; tawela.ini names it only
        // once the connection and the schemas are there.
        config.server = *server;
        config.dbPassword = server->password;
        platform::db::Database::openServer(
            app::Connections::serverFor(config, app::DatabaseRole::Main),
            platform::db::OpenMode::CreateIfMissing);
        makeShop(config);
        // Another counter of a shop already on the server: its staff sign in
        // here too, there is nothing to set up.
        app::Connections connections;
        connections.open(config);
        const bool known = connections.main()
                               ->scalar(QStringLiteral("SELECT count(*) FROM employee"))
                               .toLongLong() > 0;
        if (known)
            app::markSetUp(*connections.personal());
        connections.close();
        if (!hadIni)
            app::writeSetupIni(home, server->password);
        app::writeServerSettings(home, server, server->password);
        if (known)
            out() << "ร้านนี้มีข้อมูลบนเครื่องแม่ข่ายแล้ว เครื่องนี้ใช้ข้อมูลชุดเดียวกัน" << Qt::endl;
        printDatabases(app::readConfig(home));
        return 0;
    });
}

// The personal file checks the password of tawela.ini: it follows a change.
void rehashPersonal(const app::AppConfig& config, const QString& password)
{
    auto personal = app::Connections::openRole(config, app::DatabaseRole::Personal);
    app::schema::setPassword(*personal, password);
}

int migrate(const QString& home, const QStringList& args)
{
    const bool toServer = args.contains(QLatin1String("--to-server"));
    const bool toFiles = args.contains(QLatin1String("--to-files"));
    if (toServer == toFiles) {
        usage();
        return 2;
    }
    return reported([&]() -> int {
        const app::AppConfig config = app::readConfig(home);
        QList<tools::TableCopy> copies;
        if (toServer) {
            if (config.server) {
                err() << "ร้านนี้ใช้เครื่องแม่ข่ายอยู่แล้ว" << Qt::endl;
                return 1;
            }
            const auto server = serverFromArguments(args);
            if (!server) {
                usage();
                return 2;
            }
            copies = tools::copyToServer(config, *server);
            rehashPersonal(config, server->password);
            app::writeServerSettings(home, server, server->password);
        } else {
            app::AppConfig files = config;
            // Files need a password of their own when the server had none.
            if (files.dbPassword.isEmpty())
                files.dbPassword = app::newDatabasePassword();
            copies = tools::copyToFiles(files);
            if (files.dbPassword != config.dbPassword)
                rehashPersonal(config, files.dbPassword);
            app::writeServerSettings(home, std::nullopt, files.dbPassword);
            // The shop works from its files now; a counter still pointed
            // at the server must not go on writing there.
            try {
                tools::retireServerCopy(config);
            } catch (const platform::db::DbError& e) {
                err() << "ย้ายข้อมูลกลับเป็นแฟ้มแล้ว แต่ทำเครื่องหมายบนเครื่องแม่ข่ายว่าเลิกใช้ไม่ได้ (" << e.message()
                      << ") เครื่องอื่นที่ยังตั้งให้ใช้เครื่องแม่ข่ายจะยังเขียนข้อมูลที่นั่นได้" << Qt::endl;
                return 1;
            }
        }
        for (const auto& c : copies)
            out() << c.database << '.' << c.table << ": " << c.rows << " แถว "
                  << c.checksum.toHex().left(16) << Qt::endl;
        out() << "ย้ายข้อมูลและตรวจสำเนาครบทุกตารางแล้ว" << Qt::endl;
        return 0;
    });
}

// The value after an option ("--to FOLDER"), empty when not given.
QString option(const QStringList& args, const char* name)
{
    const qsizetype i = args.indexOf(QLatin1String(name));
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

bool isCompleteSet(const QString& folder)
{
    QString ignored;
    return admin::readManifest(folder, &ignored).has_value();
}

// The dated sets of a folder kept by --keep: the newest `keep` complete
// ones stay, older sets go (an unfinished one only when a newer set is whole).
void pruneSets(const QString& folder, int keep)
{
    const QFileInfoList sets =
        QDir(folder).entryInfoList({QStringLiteral("tawela-[0-9]*-[0-9]*")},
                                   QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    int complete = 0;
    for (const QFileInfo& set : sets) {
        const bool whole = isCompleteSet(set.filePath());
        if ((whole && complete >= keep) || (!whole && complete > 0)) {
            QDir(set.filePath()).removeRecursively();
            out() << "ลบชุดสำรองเก่า " << set.fileName() << Qt::endl;
        }
        if (whole)
            ++complete;
    }
}

int backup(const QString& home, const QStringList& args)
{
    const QString to = option(args, "--to");
    const QString keepText = option(args, "--keep");
    bool keepOk = true;
    const int keep = keepText.isEmpty() ? 0 : keepText.toInt(&keepOk);
    if (to.isEmpty() || !keepOk || (!keepText.isEmpty() && keep < 1)) {
        usage();
        return 2;
    }
    std::optional<app::AppConfig> config;
    app::Connections connections;
    if (!openShop(home, config, connections))
        return 1;
    QString why;
    const auto plan = admin::readBackupPlan(config->iniPath(), &why);
    if (!plan) {
        err() << why << Qt::endl;
        return 1;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString target = keep > 0
                               ? QDir(to).filePath(QStringLiteral("tawela-") +
                                                   now.toString(QStringLiteral("yyyyMMdd-HHmmss")))
                               : to;
    if (QDir::cleanPath(QDir(target).absolutePath()) ==
        QDir::cleanPath(QDir(plan->source).absolutePath())) {
        err() << "โฟลเดอร์ที่เก็บ Backup ต้องไม่ใช่โฟลเดอร์ข้อมูลของโปรแกรม" << Qt::endl;
        return 1;
    }
    admin::ShopFiles shop = app::shopFiles(*config);
    admin::Settings settings;
    try {
        settings = admin::loadSettings(connections.main());
        shop.shopName = settings.companyName;
    } catch (const platform::db::DbError& e) {
        err() << e.message() << Qt::endl;
        return 1;
    }
    const admin::Backup::Result r = admin::Backup(*plan, target, shop).run();
    if (!r.failure.isEmpty()) {
        err() << r.failure << Qt::endl << "การสำรองข้อมูลยังไม่สมบูรณ์" << Qt::endl;
        return 1;
    }
    try {
        settings.backupPath = target;
        settings.backupDate = now.date();
        admin::saveSettings(connections.main(), settings,
                            {QStringLiteral("backup_path"), QStringLiteral("backup_date")});
    } catch (const platform::db::DbError& e) {
        err() << "สำรองข้อมูลครบแล้ว แต่บันทึกวันที่สำรองข้อมูลไม่ได้: " << e.message() << Qt::endl;
    }
    connections.close();
    out() << target << ": สำเนา " << r.copied << " แฟ้ม เหมือนเดิม " << r.unchanged << " แฟ้ม"
          << Qt::endl;
    if (keep > 0)
        pruneSets(to, keep);
    out() << "สำรองข้อมูลสมบูรณ์" << Qt::endl;
    return 0;
}

int verifyBackup(const QString& folder)
{
    if (folder.isEmpty() || folder.startsWith(QLatin1String("--"))) {
        usage();
        return 2;
    }
    const admin::SetCheck c = admin::checkSet(folder, app::backupDatabaseCheck());
    if (c.manifest)
        out() << admin::describeSet(*c.manifest) << Qt::endl;
    for (const QString& problem : c.problems)
        err() << problem << Qt::endl;
    if (!c.ok())
        return 1;
    out() << "ok: ชุดสำรองครบ ทุกแฟ้มตรงกับตอนสำรอง" << Qt::endl;
    return 0;
}

int restore(const QString& home, const QStringList& args)
{
    const QString from = option(args, "--from");
    if (from.isEmpty()) {
        usage();
        return 2;
    }
    if (!madeHome(home))
        return 1;
    return reported([&]() -> int {
        const app::AppConfig config = app::readConfig(home);
        const admin::ShopFiles shop = app::shopFiles(config);
        if (const QString why = admin::refusedSource(shop, from); !why.isEmpty()) {
            err() << why << Qt::endl;
            return 1;
        }
        const admin::SetCheck c = admin::checkSet(from, app::backupDatabaseCheck());
        for (const QString& problem : c.problems)
            err() << problem << Qt::endl;
        if (!c.ok()) {
            err() << "ยังไม่ได้เรียกคืนข้อมูล ข้อมูลปัจจุบันยังเหมือนเดิม" << Qt::endl;
            return 1;
        }
        out() << admin::describeSet(*c.manifest) << Qt::endl;
        if (!args.contains(QLatin1String("--yes"))) {
            err() << "แฟ้มของร้านที่ " << QDir::toNativeSeparators(shop.home)
                  << " จะถูกแทนที่ด้วยชุดนี้ (แฟ้มเดิมเก็บไว้ในโฟลเดอร์ \"ก่อนเรียกคืน-…\") "
                     "ต้องการเรียกคืนข้อมูลหรือไม่ [y/N] "
                  << Qt::flush;
            std::string answer;
            std::getline(std::cin, answer);
            if (answer != "y" && answer != "Y" && answer != "yes") {
                err() << "ยกเลิก ไม่ได้เรียกคืนข้อมูล" << Qt::endl;
                return 1;
            }
        }
        const admin::RestoreOutcome done =
            admin::restoreSet(shop, from, *c.manifest, app::backupDatabaseCheck(), true);
        out() << "เรียกคืนข้อมูลเรียบร้อย " << done.files << " แฟ้ม ข้อมูลก่อนเรียกคืนเก็บไว้ที่ "
              << QDir::toNativeSeparators(done.aside) << Qt::endl;
        return 0;
    });
}

} // namespace

int main(int argc, char* argv[])
{
    // Reports measure text with real fonts; no screen is needed for that.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app::keepNewFilesPrivate();
    QGuiApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 2 && args[1] == QLatin1String("--version")) {
        out() << "tawela-admin " << platform::versionText() << Qt::endl;
        return 0;
    }
    if (args.size() < 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        usage();
        return args.size() < 2 ? 2 : 0;
    }
    const QString home = app::resolveHomeFolder(args.mid(2));
    if (QFileInfo(home).isDir())
        platform::error_log::setFolder(home);
    platform::error_log::setEmployee(QStringLiteral("tawela-admin"));
    const QString command = args[1];
    if (command == QLatin1String("verify-backup"))
        return verifyBackup(args.value(2));
    // Before any command reads the databases: a restore left half done.
    try {
        const QString done = admin::finishInterruptedRestore(home);
        if (!done.isEmpty())
            err() << done << Qt::endl;
    } catch (const platform::Error& e) {
        err() << e.description() << Qt::endl;
        return 1;
    }
    if (command == QLatin1String("backup"))
        return backup(home, args.mid(2));
    if (command == QLatin1String("restore"))
        return restore(home, args.mid(2));
    if (command == QLatin1String("init"))
        return init(home);
    if (command == QLatin1String("check"))
        return check(home);
    if (command == QLatin1String("demo"))
        return demo(home);
    if (command == QLatin1String("render"))
        return render(home, args.mid(2));
    if (command == QLatin1String("reset-password"))
        return resetPassword(home, args.value(2));
    if (command == QLatin1String("server-init"))
        return serverInit(home, args.mid(2));
    if (command == QLatin1String("migrate"))
        return migrate(home, args.mid(2));
    usage();
    return 2;
}

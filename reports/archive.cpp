#include "reports/archive.h"

#include "platform/db/db_error.h"
#include "platform/db/table_info.h"
#include "platform/db/transaction.h"

#include <QSqlQuery>

#include <algorithm>

namespace tawela::reports {

using platform::db::Database;
using platform::db::DbError;
using platform::db::Transaction;

namespace {

const char* const Attached = "tawela_archive";

// The columns a move copies: every one but the contract's own key, which
// the target gives anew.
QString copiedColumns(const Database& db, const QString& table, const QString& prefix)
{
    QStringList out;
    for (const auto& c : db.tableInfo(table).columns())
        if (!c.primaryKey)
            out << prefix + platform::db::quoteName(c.name);
    return out.join(u',');
}

QString inList(qsizetype n)
{
    QStringList marks(n, QStringLiteral("?"));
    return marks.join(u',');
}

} // namespace

ContractArchive::ContractArchive(std::shared_ptr<Database> main, std::shared_ptr<Database> archive,
                                 int batchSize)
    : m_main(std::move(main)), m_archive(std::move(archive)), m_batch(std::max(1, batchSize))
{}

QStringList ContractArchive::movable(Direction direction) const
{
    const bool out = direction == Direction::ToArchive;
    const Database& db = out ? *m_main : *m_archive;
    QSqlQuery q = db.exec(out ? QStringLiteral("SELECT Policy_no FROM chumnum WHERE P_status = 0 "
                                               "ORDER BY ID")
                              : QStringLiteral("SELECT Policy_no FROM chumnum ORDER BY ID"));
    QStringList numbers;
    while (q.next())
        numbers << q.value(0).toString();
    return numbers;
}

QStringList ContractArchive::alreadyThere(Direction direction, const QStringList& numbers) const
{
    const Database& target = direction == Direction::ToArchive ? *m_archive : *m_main;
    QStringList there;
    for (qsizetype i = 0; i < numbers.size(); i += BatchSize) {
        const QStringList part = numbers.mid(i, BatchSize);
        QVariantList binds;
        for (const QString& n : part)
            binds << n;
        QSqlQuery q =
            target.exec(QStringLiteral("SELECT Policy_no FROM chumnum WHERE Policy_no IN (") +
                            inList(part.size()) + u')',
                        binds);
        while (q.next())
            there << q.value(0).toString();
    }
    return there;
}

ContractArchive::Names ContractArchive::bridge(Direction direction) const
{
    QString mainPrefix, archivePrefix;
    if (m_main->isServer()) {
        const auto& a = m_main->server();
        const auto& b = m_archive->server();
        if (!m_archive->isServer() || a.host != b.host || a.port != b.port ||
            a.database != b.database)
            throw DbError(0, QStringLiteral("ฐานข้อมูลหลักและฐานข้อมูลสัญญาที่แยกเก็บต้องอยู่บน"
                                            "เครื่องแม่ข่ายเดียวกัน จึงจะย้ายสัญญาได้"));
        mainPrefix = platform::db::quoteName(a.schema) + u'.';
        archivePrefix = platform::db::quoteName(b.schema) + u'.';
    } else {
        // A transaction over attached files is atomic only in rollback-journal
        // mode (the program's own); in WAL mode each file commits alone.
        for (const Database* db : {m_main.get(), m_archive.get()})
            if (db->scalar(QStringLiteral("PRAGMA journal_mode")).toString().toLower() ==
                QLatin1String("wal"))
                throw DbError(0, QStringLiteral("แฟ้ม ") + db->path() +
                                     QStringLiteral(" อยู่ในโหมด WAL ย้ายสัญญาแบบปลอดภัยไม่ได้"));
        m_main->exec(QStringLiteral("ATTACH DATABASE ? AS ") + QLatin1String(Attached),
                     {m_archive->path()});
        mainPrefix = QStringLiteral("main.");
        archivePrefix = QLatin1String(Attached) + u'.';
    }
    m_main->exec(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS tawela_move "
                                "(pos INTEGER PRIMARY KEY, policy_no TEXT)"));
    if (direction == Direction::ToArchive)
        return {mainPrefix, archivePrefix};
    return {archivePrefix, mainPrefix};
}

void ContractArchive::unbridge() const
{
    try {
        m_main->exec(QStringLiteral("DROP TABLE IF EXISTS tawela_move"));
        if (!m_main->isServer())
            m_main->exec(QStringLiteral("DETACH DATABASE ") + QLatin1String(Attached));
    } catch (const DbError&) {
        // Detached when the connection closes.
    }
}

ContractArchive::Result ContractArchive::move(Direction direction, const QStringList& numbers,
                                              const std::function<void(int)>& progress) const
{
    Result result;
    if (numbers.isEmpty())
        return result;
    Names n;
    try {
        n = bridge(direction);
    } catch (const DbError& e) {
        unbridge();
        result.failure = e.description();
        return result;
    }
    const QString contracts = copiedColumns(*m_main, QStringLiteral("chumnum"), QString());
    const QString contractsFrom =
        copiedColumns(*m_main, QStringLiteral("chumnum"), QStringLiteral("c."));
    const QString renewals = copiedColumns(*m_main, QStringLiteral("chumnum_tor"), QString());
    const QString renewalsFrom =
        copiedColumns(*m_main, QStringLiteral("chumnum_tor"), QStringLiteral("t."));
    // Only a closed contract goes into the archive.
    const QString eligible =
        direction == Direction::ToArchive ? QStringLiteral(" WHERE P_status = 0") : QString();
    for (qsizetype at = 0; at < numbers.size(); at += m_batch) {
        const QStringList part = numbers.mid(at, m_batch);
        try {
            Transaction t(*m_main);
            m_main->exec(QStringLiteral("DELETE FROM tawela_move"));
            for (qsizetype i = 0; i < part.size(); ++i)
                m_main->exec(
                    QStringLiteral("INSERT INTO tawela_move (pos, policy_no) VALUES (?, ?)"),
                    {qlonglong(at + i), part[i]});
            m_main->exec(QStringLiteral("DELETE FROM tawela_move WHERE policy_no NOT IN "
                                        "(SELECT Policy_no FROM ") +
                         n.source + QStringLiteral("chumnum") + eligible +
                         QStringLiteral(") OR policy_no IN (SELECT Policy_no FROM ") + n.target +
                         QStringLiteral("chumnum)"));
            // A number chosen twice moves once.
            m_main->exec(QStringLiteral("DELETE FROM tawela_move WHERE pos NOT IN (SELECT min(pos) "
                                        "FROM tawela_move GROUP BY policy_no)"));
            const int count = int(
                m_main->scalar(QStringLiteral("SELECT count(*) FROM tawela_move")).toLongLong());
            m_main->exec(QStringLiteral("INSERT INTO ") + n.target + QStringLiteral("chumnum (") +
                         contracts + QStringLiteral(") SELECT ") + contractsFrom +
                         QStringLiteral(" FROM ") + n.source +
                         QStringLiteral("chumnum c JOIN tawela_move m ON c.Policy_no = m.policy_no "
                                        "ORDER BY m.pos"));
            m_main->exec(QStringLiteral("INSERT INTO ") + n.target +
                         QStringLiteral("chumnum_tor (") + renewals + QStringLiteral(") SELECT ") +
                         renewalsFrom + QStringLiteral(" FROM ") + n.source +
                         QStringLiteral("chumnum_tor t JOIN tawela_move m ON t.policy_no = "
                                        "m.policy_no ORDER BY m.pos, t.line_no"));
            m_main->exec(QStringLiteral("DELETE FROM ") + n.source +
                         QStringLiteral("chumnum_tor WHERE policy_no IN (SELECT policy_no FROM "
                                        "tawela_move)"));
            m_main->exec(QStringLiteral("DELETE FROM ") + n.source +
                         QStringLiteral("chumnum WHERE Policy_no IN (SELECT policy_no FROM "
                                        "tawela_move)"));
            t.commit();
            result.moved += count;
            if (progress)
                progress(result.moved);
        } catch (const DbError& e) {
            result.failure = e.description();
            break;
        }
    }
    unbridge();
    // The archive's own connection reads the files afresh.
    m_archive->forgetTableInfo();
    return result;
}

namespace {

// The entries at the rows, in list order, taken out of the list.
QStringList takeRows(QStringList& list, const QList<int>& rows)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QStringList taken;
    for (int r : sorted)
        if (r >= 0 && r < list.size())
            taken << list[r];
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
        if (*it >= 0 && *it < list.size())
            list.removeAt(*it);
    return taken;
}

} // namespace

ArchiveMoveForm::ArchiveMoveForm(ContractArchive archive, Direction direction,
                                 platform::Prompt& prompt)
    : m_archive(std::move(archive)), m_direction(direction), m_prompt(prompt)
{}

QString ArchiveMoveForm::title() const
{
    return m_direction == Direction::ToArchive ? QStringLiteral("ย้ายสัญญาที่ปิดแล้ว เข้าเก็บ")
                                               : QStringLiteral("ย้ายสัญญาที่ปิดแล้วกลับมา");
}

QString ArchiveMoveForm::sourceCaption() const
{
    return m_direction == Direction::ToArchive ? QStringLiteral("สัญญาที่ปิดแล้ว")
                                               : QStringLiteral("สัญญาเก่า ที่แยกเก็บไว้");
}

QString ArchiveMoveForm::chosenCaption() const
{
    return m_direction == Direction::ToArchive ? QStringLiteral("สัญญาที่จะย้ายไปเก็บ")
                                               : QStringLiteral("สัญญาที่จะย้ายกลับมา ฐานข้อมูลหลัก");
}

QString ArchiveMoveForm::moveCaption() const
{
    return m_direction == Direction::ToArchive ? QStringLiteral("จัดเก็บ")
                                               : QStringLiteral("ย้ายเข้าเก็บ");
}

bool ArchiveMoveForm::open()
{
    chosen.clear();
    try {
        source = m_archive.movable(m_direction);
        return true;
    } catch (const DbError& e) {
        source.clear();
        m_prompt.error(e.description());
        return false;
    }
}

void ArchiveMoveForm::select(const QList<int>& rows)
{
    chosen << takeRows(source, rows);
}

void ArchiveMoveForm::giveBack(const QList<int>& rows)
{
    source << takeRows(chosen, rows);
}

bool ArchiveMoveForm::move(const std::function<void(int)>& progress)
{
    const bool out = m_direction == Direction::ToArchive;
    const QString done = out ? QStringLiteral("สัญญาที่เลือกได้ถูกย้ายไปเก็บแล้ว")
                             : QStringLiteral("สัญญาที่เลือกได้ถูกย้ายกลับมาเก็บแล้ว");
    QStringList numbers = chosen;
    try {
        const QStringList there = m_archive.alreadyThere(m_direction, numbers);
        if (!there.isEmpty()) {
            const QString where =
                out ? QStringLiteral("ในสัญญาที่แยกเก็บไว้") : QStringLiteral("ในฐานข้อมูลหลัก");
            if (!m_prompt.askYesNo(QStringLiteral("สัญญาเลขที่ ") + there.join(QStringLiteral(", ")) +
                                   QStringLiteral(" มีอยู่แล้ว") + where +
                                   QStringLiteral(" จะไม่ถูกย้าย\nย้ายสัญญาอื่นต่อหรือไม่")))
                return false;
            for (const QString& n : there)
                numbers.removeAll(n);
        }
    } catch (const DbError& e) {
        m_prompt.error(e.description());
        return false;
    }
    const ContractArchive::Result r = m_archive.move(m_direction, numbers, progress);
    if (!r.failure.isEmpty()) {
        m_prompt.error(QStringLiteral("ย้ายสัญญาไม่สำเร็จ: ") + r.failure +
                       QStringLiteral("\nย้ายไปแล้ว %1 สัญญา ที่เหลือยังอยู่ที่เดิมครบทุกรายการ").arg(r.moved));
        // What is left stays chosen.
        const QStringList left = chosen;
        if (open()) {
            for (const QString& n : left)
                if (source.contains(n)) {
                    source.removeOne(n);
                    chosen << n;
                }
        }
        return false;
    }
    m_prompt.information(done);
    return true;
}

} // namespace tawela::reports

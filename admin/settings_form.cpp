#include "admin/settings_form.h"

#include "platform/db/condition.h"
#include "platform/db/db_error.h"
#include "platform/db/transaction.h"
#include "text/thai_text.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace tawela::admin {

using platform::db::DbError;

namespace {

using Group = SettingsForm::Group;
using Number = SettingsForm::Number;
using Option = SettingsForm::Option;

QList<Option> receiptChoices()
{
    return {{QStringLiteral("ไม่ออกใบเสร็จ"), QStringLiteral("1"), {}},
            {QStringLiteral("แบบใหญ่"), QStringLiteral("2"), {}},
            {QStringLiteral("แบบย่อ"), QStringLiteral("3"), {}}};
}

// Each number field in the screen's order: where it is kept (a whole
// number, or an amount), what it accepts, and its name in the message.
struct NumberField {
    qint64 Settings::*member;
    qint64 low, high;
    const char* caption;
    platform::Decimal Settings::*amount = nullptr;
};
constexpr NumberField NumberFields[SettingsForm::NumberCount] = {
    {&Settings::chumnumDuration, 1, 3650, "จำนวนวันรับฝาก"},
    {&Settings::relaxDay, 0, 365, "จำนวนวันยืดหยุ่น"},
    {nullptr, 0, 1000000, "ดอกเบี้ยขั้นต่ำ", &Settings::minInteres},
    {&Settings::chumnumRun, 1, 99999999, "เลขที่สัญญา (รัน)"},
    {&Settings::runRecv, 1, 999999999, "ใบเสร็จเลขที่ (รัน)"},
    {&Settings::offsetPrint, 0, 5000, "ระยะ offset การพิมพ์"},
    {&Settings::runInvoice, 1, 16, "Port #"},
    {&Settings::backupDuration, 0, 365, "จำนวนวันเตือนการสำรองข้อมูล"},
    {nullptr, 1, 100, "อัตราสูงสุดต่อปีตามกฎหมาย", &Settings::legalCeiling},
    {&Settings::legalYears, 1, 30, "จำนวนปีที่ไถ่ถอนได้ตามกฎหมาย"},
    {&Settings::payoffRows, 0, 3, "จำนวนเดือนในตารางยอดไถ่ถอน"},
};

// The columns this screen shows; the company details, the sign-in switch and
// the backup date belong to other screens.
const QSet<QString>& screenColumns()
{
    static const QSet<QString> columns{QStringLiteral("chumnum_duration"),
                                       QStringLiteral("dedug_fee"),
                                       QStringLiteral("relax_day"),
                                       QStringLiteral("clear_employee"),
                                       QStringLiteral("MinInteres"),
                                       QStringLiteral("D_interes_rate"),
                                       QStringLiteral("sanya_cfg"),
                                       QStringLiteral("sanya_copy"),
                                       QStringLiteral("chumnum_autorun"),
                                       QStringLiteral("payan_one"),
                                       QStringLiteral("payan_two"),
                                       QStringLiteral("recvtai_cfg"),
                                       QStringLiteral("recvtor_cfg"),
                                       QStringLiteral("tor_cfg"),
                                       QStringLiteral("tor_copy"),
                                       QStringLiteral("city_call"),
                                       QStringLiteral("recv_copy"),
                                       QStringLiteral("Pre_Recv"),
                                       QStringLiteral("offset_print"),
                                       QStringLiteral("ReceptPrinterSize"),
                                       QStringLiteral("Com_Kon"),
                                       QStringLiteral("Run_Invoice"),
                                       QStringLiteral("street"),
                                       QStringLiteral("tumbol"),
                                       QStringLiteral("Ampur"),
                                       QStringLiteral("province"),
                                       QStringLiteral("zip"),
                                       QStringLiteral("Backup_alert"),
                                       QStringLiteral("Backup_duration"),
                                       QStringLiteral("legal_check"),
                                       QStringLiteral("legal_ceiling"),
                                       QStringLiteral("legal_years"),
                                       QStringLiteral("payoff_rows"),
                                       QStringLiteral("print_tag")};
    return columns;
}

// The largest run among numbers that are `prefix` followed by digits only.
qint64 highestRun(platform::db::Database& db, const QString& sql, const QString& prefix)
{
    QSqlQuery q = db.exec(sql.arg(db.dialect().like()), {platform::db::likePrefixPattern(prefix)});
    static const QRegularExpression digits(QStringLiteral("^\\d{1,18}$"));
    qint64 highest = 0;
    while (q.next()) {
        const QString number = q.value(0).toString();
        // The match ignores letter case; the numbers do not.
        if (!number.startsWith(prefix))
            continue;
        const QString run = number.mid(prefix.size());
        if (digits.match(run).hasMatch())
            highest = std::max(highest, run.toLongLong());
    }
    return highest;
}

} // namespace

const QList<Option>& SettingsForm::options(Group group)
{
    static const std::array<QList<Option>, GroupCount> all = {
        QList<Option>{{QStringLiteral("จำนวนวัน คิดตามจำนวนวันจริง"), QStringLiteral("จริง"),
                       QStringLiteral("อัตราดอกเบี้ย/30*จำนวนวัน * ต้น")},
                      {QStringLiteral("จำนวนวัน คิดเป็นขั้นจากตารางดอก"), QStringLiteral("ช่วง"),
                       QStringLiteral("อัตราดอกเบี้ย/30*จำนวนวันตามขั้นจากตาราง * ต้น")},
                      {QStringLiteral("ไม่ใช้จำนวนวัน (ใช้%อย่างเดียว)"), QStringLiteral("ไม่ใช้"), {}}},
        QList<Option>{{QStringLiteral("ไม่ออก"), QStringLiteral("1"), {}},
                      {QStringLiteral("แบบใหญ่"), QStringLiteral("2"), {}},
                      {QStringLiteral("แบบย่อ"), QStringLiteral("3"), {}},
                      {QStringLiteral("แบบสัญญา"), QStringLiteral("4"), {}}},
        QList<Option>{{QStringLiteral("เลขที่อัตโนมัติ"), QStringLiteral("true"), {}},
                      {QStringLiteral("กำหนดเอง"), QStringLiteral("false"), {}}},
        receiptChoices(),
        receiptChoices(),
        QList<Option>{{QStringLiteral("ไม่ออก"), QStringLiteral("1"), {}},
                      {QStringLiteral("แบบใหญ่"), QStringLiteral("2"), {}},
                      {QStringLiteral("แบบย่อ"), QStringLiteral("3"), {}}},
        QList<Option>{{QStringLiteral("58mm"), QStringLiteral("58"), {}},
                      {QStringLiteral("65mm"), QStringLiteral("65"), {}},
                      {QStringLiteral("85mm"), QStringLiteral("85"), {}}},
    };
    return all[int(group)];
}

SettingsForm::SettingsForm(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt,
                           PortLister ports)
    : m_main(std::move(main)), m_prompt(prompt), m_ports(std::move(ports))
{}

bool SettingsForm::open()
{
    try {
        settings = loadSettings(m_main);
    } catch (const DbError& e) {
        m_prompt.error(QStringLiteral("อ่านค่าเริ่มต้นของร้านไม่ได้: ") + e.description());
        return false;
    }
    for (int i = 0; i < NumberCount; ++i)
        if (NumberFields[i].member)
            m_numbers[i] = QString::number(settings.*NumberFields[i].member);
    for (int i = 0; i < NumberCount; ++i)
        if (NumberFields[i].amount)
            m_numbers[i] = (settings.*NumberFields[i].amount).toFixed(2); // 12.50
    m_openedRun = settings.chumnumRun;
    m_openedRecv = settings.runRecv;
    // Two groups always show a choice: any other stored text counts as "ไม่ใช้",
    // and anything but true as numbering by hand; the choice is then stored.
    if (chosen(Group::InterestDays) < 0)
        choose(Group::InterestDays, 2);
    return true;
}

QString SettingsForm::code(Group group) const
{
    switch (group) {
    case Group::InterestDays:
        return settings.dInteresRate;
    case Group::Ticket:
        return settings.sanyaCfg;
    case Group::Autorun:
        return settings.chumnumAutorun ? QStringLiteral("true") : QStringLiteral("false");
    case Group::RedemptionReceipt:
        return settings.recvtaiCfg;
    case Group::RenewalReceipt:
        return settings.recvtorCfg;
    case Group::RenewalDocument:
        return settings.torCfg;
    case Group::PaperWidth:
        return QString::number(settings.receptPrinterSize);
    }
    return {};
}

void SettingsForm::setCode(Group group, const QString& value)
{
    switch (group) {
    case Group::InterestDays:
        settings.dInteresRate = value;
        break;
    case Group::Ticket:
        settings.sanyaCfg = value;
        break;
    case Group::Autorun:
        settings.chumnumAutorun = value == u"true";
        break;
    case Group::RedemptionReceipt:
        settings.recvtaiCfg = value;
        break;
    case Group::RenewalReceipt:
        settings.recvtorCfg = value;
        break;
    case Group::RenewalDocument:
        settings.torCfg = value;
        break;
    case Group::PaperWidth:
        settings.receptPrinterSize = value.toLongLong();
        break;
    }
}

int SettingsForm::chosen(Group group) const
{
    const QString stored = code(group);
    const QList<Option>& all = options(group);
    for (int i = 0; i < all.size(); ++i)
        if (all[i].code == stored)
            return i;
    return -1;
}

void SettingsForm::choose(Group group, int option)
{
    if (option >= 0 && option < options(group).size())
        setCode(group, options(group)[option].code);
}

std::pair<QString, QString> SettingsForm::numberPrefix(const QDate& day)
{
    return {QString::number(text::buddhistYear(day.year())).right(2),
            QStringLiteral("-%1- 4-").arg(day.month(), 2, 10, QChar(u'0'))};
}

std::optional<Number> SettingsForm::refuse(Number field, const QString& why)
{
    m_prompt.stop(why);
    return field;
}

qint64 SettingsForm::highestContractRun(const QDate& today) const
{
    // The numbers of this month, as new contracts form them.
    const auto [year, month] = numberPrefix(today);
    const QString prefix = year + QString(month).remove(u' ');
    const QString sql =
        QStringLiteral("SELECT Policy_no FROM chumnum WHERE Policy_no%1? ESCAPE '\\'");
    qint64 highest = highestRun(*m_main, sql, prefix);
    if (m_archive)
        highest = std::max(highest, highestRun(*m_archive, sql, prefix));
    return highest;
}

qint64 SettingsForm::highestReceiptRun(const QString& prefix) const
{
    return highestRun(*m_main,
                      QStringLiteral("SELECT recv_no FROM service WHERE recv_no%1? ESCAPE '\\'"),
                      prefix);
}

std::optional<Number> SettingsForm::save(const QDate& today)
{
    // Every number as a whole number in its range.
    Settings s = settings;
    for (int i = 0; i < NumberCount; ++i) {
        const NumberField& r = NumberFields[i];
        const QString text = m_numbers[i].trimmed();
        const QString outOfRange = QStringLiteral("%1 ต้องเป็นตัวเลขตั้งแต่ %2 ถึง %3")
                                       .arg(QString::fromUtf8(r.caption))
                                       .arg(r.low)
                                       .arg(r.high);
        if (!r.member) {
            const auto value =
                platform::Decimal::parse(text.isEmpty() ? QStringLiteral("0") : text);
            if (!value || *value < platform::Decimal::fromInt(r.low) ||
                *value > platform::Decimal::fromInt(r.high))
                return refuse(Number(i), outOfRange);
            s.*r.amount = *value;
            continue;
        }
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (!ok || value < r.low || value > r.high)
            return refuse(Number(i), outOfRange);
        s.*r.member = value;
    }
    if (s.backupAlert && s.backupDuration < 1)
        return refuse(Number::BackupDuration,
                      QStringLiteral("ใส่จำนวนวันที่ต้องการให้เตือนการสำรองข้อมูล อย่างน้อย 1 วัน"));

    try {
        platform::db::Transaction tx(*m_main);
        // The same lock the counters take a number under.
        m_main->lockForWriting(QStringLiteral("config_setting"));
        const Settings stored = loadSettings(m_main);
        QSet<QString> columns = screenColumns();
        if (s.chumnumRun != m_openedRun) {
            const qint64 used = highestContractRun(today);
            if (s.chumnumRun <= used)
                return refuse(Number::ChumnumRun, QStringLiteral("เลขที่สัญญา (รัน) %1 ใช้ไปแล้วในเดือนนี้ "
                                                                 "ใส่เลขที่มากกว่า %2")
                                                      .arg(s.chumnumRun)
                                                      .arg(used));
            columns << QStringLiteral("chumnum_run");
        }
        if (s.runRecv != m_openedRecv || s.preRecv != stored.preRecv) {
            const qint64 used = highestReceiptRun(s.preRecv);
            if (s.runRecv <= used)
                return refuse(Number::RunRecv,
                              QStringLiteral("ใบเสร็จเลขที่ %1%2 ใช้ไปแล้ว ใส่เลขที่มากกว่า %3")
                                  .arg(s.preRecv)
                                  .arg(s.runRecv)
                                  .arg(used));
            columns << QStringLiteral("run_recv");
        }
        saveSettings(m_main, s, columns);
        tx.commit();
    } catch (const DbError& e) {
        m_prompt.error(QStringLiteral("จัดเก็บค่าเริ่มต้นไม่ได้ ยังไม่มีการเปลี่ยนแปลงใด: ") + e.description());
        return Number::ChumnumDuration;
    }
    settings = s;
    return std::nullopt;
}

bool SettingsForm::testDrawer()
{
    bool ok = false;
    const qint64 n = m_numbers[int(Number::Port)].trimmed().toLongLong(&ok);
    if (!ok || n < 1 || n > 16) {
        m_prompt.stop(QStringLiteral("ใส่เลข 1-16 ทดลองกดปุ่มทดสอบ"));
        return false;
    }
    const QList<platform::SerialDevice> all = m_ports();
    if (n > all.size()) {
        m_prompt.stop(all.isEmpty() ? QStringLiteral("เครื่องนี้ไม่มีพอร์ตอนุกรม (Serial port) ให้ต่อลิ้นชักเงิน")
                                    : QStringLiteral("เครื่องนี้มีพอร์ตอนุกรมเพียง %1 พอร์ต ไม่มี Port # %2")
                                          .arg(all.size())
                                          .arg(n));
        return false;
    }
    const QString failure = platform::pulseCashDrawer(all[n - 1]);
    if (!failure.isEmpty()) {
        m_prompt.error(failure);
        return false;
    }
    m_prompt.information(QStringLiteral("ส่งคำสั่งเปิดลิ้นชักเงินทางพอร์ต %1 แล้ว").arg(all[n - 1].name));
    return true;
}

} // namespace tawela::admin

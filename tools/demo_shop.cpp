#include "tools/demo_shop.h"

#include <QSqlQuery>

#include "admin/settings.h"
#include "admin/staff.h"
#include "app/setup.h"
#include "contracts/contract_store.h"
#include "platform/db/transaction.h"
#include "platform/password_hash.h"
#include "text/thai_text.h"

namespace tawela::tools {

using contracts::Contract;
using contracts::OperationMode;
using contracts::SaveRequest;
using platform::Decimal;

namespace {

struct Person {
    const char* title;
    const char* name;
    const char* surname;
    const char* id;
    const char* address;
    const char* phone;
    QDate birthday;
};

const Person People[] = {
    {"นาย", "สมชาย", "ใจดี", "1100400123450", "99/1 หมู่ 3 ตำบลในเมือง อำเภอเมือง ขอนแก่น",
     "081-234-5678", QDate(1980, 4, 12)},
    {"นาง", "สมศรี", "รักไทย", "3400100765433", "12 ถนนศรีจันทร์ ตำบลในเมือง อำเภอเมือง ขอนแก่น",
     "089-876-5432", QDate(1975, 11, 3)},
    {"นางสาว", "มานี", "มีทรัพย์", "1409900112231", "5 ซอยมิตรภาพ 7 ตำบลศิลา อำเภอเมือง ขอนแก่น",
     "062-111-2233", QDate(1995, 1, 20)},
    {"นาย", "ปีเตอร์", "O'Neil", "1100200334457", "88/8 หมู่ 1 ตำบลบ้านเป็ด อำเภอเมือง ขอนแก่น",
     "095-444-5566", QDate(1988, 7, 7)},
};

void addEmployee(admin::StaffStore& staff, const char* code, const char* name, const char* password,
                 admin::Right policy, admin::Right tool, admin::Right bk)
{
    if (staff.find(QString::fromUtf8(code)))
        return;
    admin::Employee e;
    e.code = QString::fromUtf8(code);
    e.name = QString::fromUtf8(name);
    e.password = platform::password_hash::hash(QString::fromUtf8(password));
    e.policy = admin::rightText(policy);
    e.card = admin::rightText(admin::Right::Allowed);
    e.tool = admin::rightText(tool);
    e.blacklist = admin::rightText(admin::Right::Allowed);
    e.bk = admin::rightText(bk);
    e.rs = admin::rightText(admin::Right::Allowed);
    // Whoever may use the tools (the owner) may also restore a backup.
    e.sp1 = admin::rightText(tool == admin::Right::Allowed ? admin::Right::Allowed
                                                           : admin::Right::NotAllowed);
    staff.add(e);
}

void addRates(platform::db::Database& db, const char* table,
              std::initializer_list<std::pair<int, const char*>> rows)
{
    if (db.scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)).toLongLong() > 0)
        return;
    for (const auto& [days, fee] : rows)
        db.exec(QStringLiteral("INSERT INTO ") + QLatin1String(table) +
                    QStringLiteral(" (duration, fee) VALUES (?, ?)"),
                {days, qlonglong(Decimal::parse(QString::fromLatin1(fee))->units())});
}

} // namespace

int fillDemoShop(const app::Connections& connections, const QDate& today)
{
    auto main = connections.main();
    auto customers = connections.customer();

    admin::Settings s = admin::loadSettings(main);
    s.companyName = QStringLiteral("ห้างทองเจริญทรัพย์");
    s.address1 = QStringLiteral("199 ถนนมิตรภาพ ตำบลในเมือง");
    s.address2 = QStringLiteral("อำเภอเมือง จังหวัดขอนแก่น 40000");
    s.address3 = QStringLiteral("นายเจริญ ทรัพย์มาก");
    s.tel = QStringLiteral("043-123456");
    s.taxNo = QStringLiteral("0405551234567");
    s.street = QStringLiteral("มิตรภาพ");
    s.tumbol = QStringLiteral("ในเมือง");
    s.ampur = QStringLiteral("เมืองขอนแก่น");
    s.province = QStringLiteral("ขอนแก่น");
    s.zip = QStringLiteral("40000");
    s.payanOne = QStringLiteral("นางสาวพิมพ์ใจ ซื่อตรง");
    s.payanTwo = QStringLiteral("นายมั่นคง ยืนยง");
    s.minInteres = Decimal::fromInt(50);
    admin::saveSettings(main, s);
    customers->exec(QStringLiteral("UPDATE config_setting SET company_name = ?, address1 = ?, "
                                   "address2 = ?, address3 = ?, Tel = ?, Tax_no = ?"),
                    {s.companyName, s.address1, s.address2, s.address3, s.tel, s.taxNo});

    addRates(*main, "fee_table1", {{30, "3"}, {60, "2.5"}, {90, "2"}});
    addRates(*main, "deduct_table1", {{60, "1"}, {30, "0.5"}, {15, "0.25"}});
    addRates(*main, "fee_table2", {{30, "2"}, {90, "1.5"}});

    admin::StaffStore staff(main);
    addEmployee(staff, "A01", "เจริญ ทรัพย์มาก", "1234", admin::Right::Allowed, admin::Right::Allowed,
                admin::Right::Allowed);
    addEmployee(staff, "B02", "สมใจ ขยันดี", "5678", admin::Right::Allowed, admin::Right::NotAllowed,
                admin::Right::ReadOnly);
    addEmployee(staff, "C03", "ดวงใจ ดูอย่างเดียว", "0000", admin::Right::ReadOnly,
                admin::Right::NotAllowed, admin::Right::NotAllowed);

    // Customers, each with the code the contract screen gives a new one: its ID.
    QStringList codes;
    for (const Person& p : People) {
        const QString id = QString::fromLatin1(p.id);
        const QVariant existing =
            customers->scalar(QStringLiteral("SELECT C_code FROM customer WHERE C_ID = ?"), {id});
        if (existing.isValid()) {
            codes << existing.toString();
            continue;
        }
        QSqlQuery q = customers->exec(
            QStringLiteral(
                "INSERT INTO customer (C_code, C_prename, C_name, C_Sname, birthday, C_age, "
                "C_ID, C_address, C_MP, C_Province, zip, month_birth, full_address1, spare2, "
                "spare3) VALUES ('New', ?, ?, ?, ?, ?, ?, ?, ?, 'ขอนแก่น', '40000', ?, ?, ?, "
                "'จ.ขอนแก่น 40000')"),
            {QString::fromUtf8(p.title), QString::fromUtf8(p.name), QString::fromUtf8(p.surname),
             p.birthday.toString(Qt::ISODate), int(text::ageInYears(p.birthday, today)), id,
             QString::fromUtf8(p.address), QString::fromLatin1(p.phone),
             text::thaiMonthName(p.birthday), QString::fromUtf8(p.address),
             QString(QString::fromUtf8(p.title) + QString::fromUtf8(p.name) + u' ' +
                     QString::fromUtf8(p.surname))});
        const QString code = q.lastInsertId().toString();
        customers->exec(QStringLiteral("UPDATE customer SET C_code = ? WHERE ID = ?"),
                        {code, q.lastInsertId()});
        codes << code;
    }

    contracts::ContractStore store(main);
    struct Deal {
        int person;
        const char* group;
        const char* goods;
        int amount;
        int daysAgo;
        int renewals;
        enum { Open, Redeemed, Forfeited } end;
    };
    const Deal deals[] = {
        {0, "ทองคำ", "สร้อยคอทองคำ ลายสี่เสา หนัก 1 บาท", 18000, 10, 0, Deal::Open},
        {1, "โทรศัพท์มือถือ", "iPhone 13 สีดำ 128GB พร้อมกล่อง", 9000, 70, 1, Deal::Open},
        {2, "นาฬิกา", "นาฬิกาข้อมือ Seiko 5 สายเหล็ก", 3500, 100, 2, Deal::Open},
        {3, "ทองคำ", "แหวนทองคำ หนัก 1 สลึง", 4200, 60, 0, Deal::Redeemed},
        {0, "เครื่องใช้ไฟฟ้า", "โทรทัศน์ Samsung 43 นิ้ว", 5000, 200, 1, Deal::Forfeited},
    };
    int written = 0;
    for (const Deal& d : deals) {
        const Person& p = People[d.person];
        const QDate start = today.addDays(-d.daysAgo);
        SaveRequest r;
        r.isNew = true;
        r.mode = OperationMode::NewContract;
        r.startedOn = start;
        r.startedWithRun = store.currentRun();
        Contract& c = r.contract;
        c.policyNo = contracts::contractNumber(start, r.startedWithRun);
        c.refNo = c.policyNo;
        c.tableNo = QStringLiteral("1");
        c.principal = Decimal::fromInt(d.amount);
        c.rate = Decimal::fromInt(3);
        c.days = 30;
        c.interest = Decimal::fromInt(d.amount * 3 / 100);
        c.payout = c.principal;
        c.redemption = c.principal + c.interest;
        c.contractDate = start;
        c.dueDate = start.addDays(30);
        c.kuCode = codes[d.person];
        c.kuName = QString::fromUtf8(p.title) + QString::fromUtf8(p.name) + u' ' +
                   QString::fromUtf8(p.surname);
        c.kuAge = QString::number(text::ageInYears(p.birthday, start));
        c.kuId = QString::fromLatin1(p.id);
        c.kuAddress = QString::fromUtf8(p.address);
        c.kuMp = QString::fromLatin1(p.phone);
        c.object = QString::fromUtf8(d.group);
        c.model = QString::fromUtf8(d.goods);
        c.witness1 = s.payanOne;
        c.witness2 = s.payanTwo;
        r.employeeName = QStringLiteral("เจริญ ทรัพย์มาก");
        r.now = QDateTime(start, QTime(10, 15));
        const QString number = store.save(r).policyNo;
        ++written;

        QList<contracts::RenewalLine> lines;
        QDate due = start.addDays(30);
        for (int n = 1; n <= d.renewals; ++n) {
            contracts::RenewalLine l;
            l.lineNo = n;
            l.fee = Decimal::fromInt(d.amount * 3 / 100);
            l.total = l.fee;
            l.from = due;
            l.due = due.addDays(30);
            due = l.due;
            lines << l;
            SaveRequest renew;
            renew.contract = *store.find(number);
            // The due date moves by the agreed term; the term and its fee stay.
            renew.contract.dueDate = due;
            renew.lines = lines;
            renew.mode = OperationMode::Renewal;
            renew.receiptTotal = l.total;
            renew.employeeName = QStringLiteral("สมใจ ขยันดี");
            renew.now = QDateTime(l.from, QTime(14, 0));
            store.save(renew);
        }
        if (d.end == Deal::Open)
            continue;
        // Closing as the closing panel does it: redemption with its receipt,
        // forfeiture without money.
        const Contract closed = *store.find(number);
        const bool redeemed = d.end == Deal::Redeemed;
        const QDate closedOn = redeemed ? today.addDays(-5) : due.addDays(10);
        contracts::Closing closing;
        closing.policyNo = number;
        closing.closeDate = closedOn;
        closing.amount = redeemed ? closed.redemption : closed.principal;
        closing.days = redeemed ? due.daysTo(closedOn) : closed.lastFrom.daysTo(closedOn);
        closing.fee = closing.surcharge = closing.discount = Decimal();
        closing.total = redeemed ? closed.redemption : Decimal();
        closing.forfeited = !redeemed;
        closing.rowVersion = closed.rowVersion;
        std::optional<contracts::Receipt> receipt;
        if (redeemed) {
            contracts::Receipt paid;
            paid.description = QStringLiteral("ไถ่ถอน สัญญาเลขที่ ") + closed.refNo +
                               QStringLiteral("  ") + closed.model;
            paid.group = closed.object;
            paid.kind = QStringLiteral("ไถ่ถอน");
            paid.price = closed.principal;
            paid.total = closed.redemption;
            paid.date = closedOn;
            paid.time = QTime(11, 45);
            paid.customerCode = closed.kuCode;
            paid.employee = QStringLiteral("เจริญ ทรัพย์มาก");
            paid.totalWords = text::bahtText(closed.redemption);
            paid.customerName = closed.kuName;
            paid.customerAddress = closed.kuAddress;
            receipt = paid;
        }
        store.close(closing, receipt);
    }
    app::markSetUp(*connections.personal());
    return written;
}

} // namespace tawela::tools

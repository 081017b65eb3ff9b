#include "app/schema.h"

#include "platform/db/db_error.h"
#include "platform/db/transaction.h"
#include "platform/decimal.h"
#include "platform/password_hash.h"
#include "platform/shipped_files.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

#include <functional>

namespace tawela::app {

using platform::Decimal;
using platform::db::ColumnKind;
using platform::db::Database;
using platform::db::DbError;
using platform::db::quoteName;
using platform::db::Transaction;
namespace error_number = platform::db::error_number;

QString roleName(DatabaseRole role)
{
    switch (role) {
    case DatabaseRole::Main:
        return QStringLiteral("main");
    case DatabaseRole::Customer:
        return QStringLiteral("customer");
    case DatabaseRole::Archive:
        return QStringLiteral("archive");
    case DatabaseRole::Personal:
        return QStringLiteral("personal");
    }
    return {};
}

QString roleTitle(DatabaseRole role)
{
    switch (role) {
    case DatabaseRole::Main:
        return QStringLiteral("ฐานข้อมูลหลัก");
    case DatabaseRole::Customer:
        return QStringLiteral("ฐานข้อมูลลูกค้า");
    case DatabaseRole::Archive:
        return QStringLiteral("ฐานข้อมูลสัญญาที่แยกเก็บ");
    case DatabaseRole::Personal:
        return QStringLiteral("ฐานข้อมูลประจำเครื่อง");
    }
    return {};
}

namespace schema {

namespace {

const QString MetaTable = QStringLiteral("tawela_meta");

ColumnDef key(const char* name)
{
    return {QString::fromLatin1(name), ColumnKind::Integer, true};
}
ColumnDef text(const char* name)
{
    return {QString::fromLatin1(name), ColumnKind::Text};
}
ColumnDef whole(const char* name)
{
    return {QString::fromLatin1(name), ColumnKind::Integer};
}
ColumnDef money(const char* name)
{
    return {QString::fromLatin1(name), ColumnKind::Decimal};
}
ColumnDef date(const char* name)
{
    return {QString::fromLatin1(name), ColumnKind::Date};
}
ColumnDef time(const char* name)
{
    return {QString::fromLatin1(name), ColumnKind::Time};
}
ColumnDef yesNo(const char* name)
{
    return {QString::fromLatin1(name), ColumnKind::Boolean};
}

IndexDef index(const char* name, QStringList columns, bool unique = false)
{
    return {QString::fromLatin1(name), std::move(columns), unique};
}

// The contract and its renewal lines: the same columns in the main and the
// archive database, so moving a contract copies them position by position.
TableDef contractTable()
{
    return {
        QStringLiteral("chumnum"),
        {key("ID"), text("Policy_no"), text("ref_no"), text("Table_NO"), money("Amount1"),
         money("Interes"), money("Interest_rate"), money("En_Followup"), yesNo("deduged"),
         money("amount3"), money("Amount2"), text("Word1"), text("World2"), date("Policy_date"),
         whole("total_day"), date("End_date"), text("Ku_code"), text("Ku_name"), text("Ku_age"),
         text("Ku_ID"), text("Ku_address"), text("Ku_soi"), text("Ku_MP"), text("P_note"),
         text("object"), text("Model"), text("Weight"), text("SN"), text("other_detail"),
         text("place_keep"), yesNo("FakeProductUse"), text("FakeProduct"), text("Image1"),
         text("Image2"), text("Image3"), text("dt_im1"), text("dt_im2"), text("dt_im3"),
         text("Payan1"), text("Payan2"), text("Company_name"), text("address1"), text("address2"),
         text("address3"), text("Tel"), text("Fax"), text("Tax_no"), yesNo("P_status"),
         yesNo("over_due"), date("Close_date"), whole("L_N"), money("L_amount"), money("L_fee"),
         money("L_plub"), money("L_discount"), money("L_total"), date("L_fakdate"),
         date("L_returndate"), yesNo("L_tor"),
         // Raised by every write of the row, so a copy of the program
         // that shows an older state cannot overwrite a newer one.
         whole("row_version")},
        {index("chumnum_policy_no", {QStringLiteral("Policy_no")}, true),
         index("chumnum_ref_no", {QStringLiteral("ref_no")}),
         index("chumnum_ku_id", {QStringLiteral("Ku_ID")}),
         index("chumnum_ku_name", {QStringLiteral("Ku_name")}),
         index("chumnum_ku_code", {QStringLiteral("Ku_code")}),
         index("chumnum_status_end", {QStringLiteral("P_status"), QStringLiteral("End_date")}),
         // The list of open (or closed) contracts, newest number first.
         index("chumnum_status_policy", {QStringLiteral("P_status"), QStringLiteral("Policy_no")}),
         // The value box completes within one filter, whatever the share of
         // closed contracts: the index alone answers.
         index("chumnum_status_name", {QStringLiteral("P_status"), QStringLiteral("Ku_name")}),
         index("chumnum_status_id", {QStringLiteral("P_status"), QStringLiteral("Ku_ID")}),
         index("chumnum_status_ref", {QStringLiteral("P_status"), QStringLiteral("ref_no")}),
         index("chumnum_close_date", {QStringLiteral("Close_date")}),
         // The summaries as of a date: overdue and due open contracts, and
         // those opened that day.
         index("chumnum_status_return",
               {QStringLiteral("P_status"), QStringLiteral("L_returndate")}),
         index("chumnum_policy_date", {QStringLiteral("Policy_date")})}};
}

TableDef renewalTable()
{
    return {QStringLiteral("chumnum_tor"),
            {text("policy_no"), whole("line_no"), money("Amount"), money("fee"), money("plub"),
             money("discount"), money("total"), date("fak_date"), date("return_date")},
            {index("chumnum_tor_policy", {QStringLiteral("policy_no"), QStringLiteral("line_no")}),
             index("chumnum_tor_fak_date", {QStringLiteral("fak_date")})}};
}

TableDef rateTable(const QString& name)
{
    return {name, {key("ID"), whole("duration"), money("fee")}, {}};
}

QList<TableDef> mainTables()
{
    QList<TableDef> t;
    t << TableDef{QStringLiteral("config_setting"),
                  {text("company_name"),
                   text("address1"),
                   text("address2"),
                   text("address3"),
                   text("Tel"),
                   text("Fax"),
                   text("Tax_no"),
                   text("street"),
                   text("tumbol"),
                   text("Ampur"),
                   text("province"),
                   text("zip"),
                   whole("chumnum_run"),
                   yesNo("chumnum_autorun"),
                   whole("chumnum_duration"),
                   yesNo("dedug_fee"),
                   whole("relax_day"),
                   yesNo("clear_employee"),
                   money("MinInteres"),
                   text("D_interes_rate"),
                   text("payan_one"),
                   text("payan_two"),
                   text("sanya_cfg"),
                   yesNo("sanya_copy"),
                   text("tor_cfg"),
                   yesNo("tor_copy"),
                   text("recvtor_cfg"),
                   text("recvtai_cfg"),
                   yesNo("recv_copy"),
                   yesNo("city_call"),
                   text("Pre_Recv"),
                   whole("run_recv"),
                   whole("offset_print"),
                   whole("ReceptPrinterSize"),
                   yesNo("Com_Kon"),
                   whole("Run_Invoice"),
                   yesNo("use_login"),
                   yesNo("Backup_alert"),
                   whole("Backup_duration"),
                   date("backup_date"),
                   text("backup_path"),
                   yesNo("legal_check"),
                   money("legal_ceiling"),
                   whole("legal_years"),
                   whole("payoff_rows"),
                   yesNo("print_tag")},
                  {}};
    t << TableDef{QStringLiteral("employee"),
                  {text("EN"), text("E_name"), text("PWD"), text("Policy"), text("Card"),
                   text("tool"), text("Blacklist"), text("BK"), text("RS"), text("Sp1"),
                   yesNo("admin")},
                  {index("employee_en", {QStringLiteral("EN")}, true)}};
    t << contractTable() << renewalTable();
    t << TableDef{QStringLiteral("service"),
                  {key("ID"), text("recv_no"), text("prod_code"), text("description"),
                   text("s_group"), text("s_group2"), whole("quan"), money("price"),
                   money("tt_price"), text("pay_method"), date("s_date"), time("s_time"),
                   text("c_code"), text("employee"), text("wordsay"), text("Ku_name"),
                   text("Ku_address")},
                  {index("service_recv_no", {QStringLiteral("recv_no")}),
                   index("service_prod_code", {QStringLiteral("prod_code")}),
                   index("service_s_date", {QStringLiteral("s_date")}),
                   index("service_c_code", {QStringLiteral("c_code")})}};
    t << TableDef{QStringLiteral("spending"),
                  {key("ID"), text("description"), text("s_group"), text("s_group2"), whole("quan"),
                   money("price"), money("tt_price"), date("s_date"), text("employee"),
                   text("c_code")},
                  {index("spending_s_date", {QStringLiteral("s_date")}),
                   index("spending_c_code", {QStringLiteral("c_code")})}};
    t << TableDef{QStringLiteral("fee_table"), {key("ID"), whole("duration"), money("fee")}, {}};
    t << rateTable(QStringLiteral("deduct_table"));
    for (int n = 1; n <= 5; ++n) {
        t << rateTable(QStringLiteral("fee_table") + QString::number(n));
        t << rateTable(QStringLiteral("deduct_table") + QString::number(n));
    }
    t << TableDef{QStringLiteral("Period"),
                  {text("TableName"), whole("Period")},
                  {index("period_table_name", {QStringLiteral("TableName")})}};
    t << TableDef{QStringLiteral("chumnum_prod_group"), {key("ID"), text("prod_group")}, {}};
    t << TableDef{QStringLiteral("temp"),
                  {text("description"), money("tt_price"), date("s_date"), text("s_group"),
                   text("s_group2"), text("employee"), text("c_code")},
                  {index("temp_c_code", {QStringLiteral("c_code")})}};
    return t;
}

QList<TableDef> customerTables()
{
    QList<TableDef> t;
    t << TableDef{QStringLiteral("config_setting"),
                  {text("company_name"), text("address1"), text("address2"), text("address3"),
                   text("Tel"), text("Fax"), text("Tax_no")},
                  {}};
    // The 50 columns in their fixed order: the spreadsheet export and import
    // address them by position.
    t << TableDef{QStringLiteral("customer"),
                  {key("ID"), text("C_code"), text("C_prename"), text("C_name"), text("C_Sname"),
                   date("birthday"), whole("C_age"), text("C_ID"), text("C_address"), text("C_moo"),
                   text("C_soi"), text("C_road"), text("C_tumbol"), text("C_Ampor"),
                   text("C_Province"), text("C_MP"), text("C_HP"), text("C_FAX"), text("user1"),
                   text("user2"), text("user3"), money("user4"), date("user5"), text("email"),
                   text("Note"), text("image1"), text("image2"), text("image3"), text("Excel_file"),
                   text("dt_im1"), text("dt_im2"), text("dt_im3"), text("Excel_name"),
                   money("C_income"), yesNo("city_call"), text("class"), text("sex"),
                   text("education"), text("marrital"), text("spouse"), text("spouse_occ"),
                   text("spouse_detail"), text("Spare1"), text("spare2"), text("spare3"),
                   text("full_address1"), text("full_address2"), text("zip"), text("month_birth"),
                   money("points"),
                   // After the 50: raised by every save of the row, as the contracts'.
                   whole("row_version")},
                  {index("customer_c_code", {QStringLiteral("C_code")}),
                   index("customer_c_id", {QStringLiteral("C_ID")}),
                   index("customer_c_name", {QStringLiteral("C_name"), QStringLiteral("C_Sname")}),
                   index("customer_province", {QStringLiteral("C_Province")}),
                   index("customer_class", {QStringLiteral("class")}),
                   index("customer_zip", {QStringLiteral("zip")})}};
    t << TableDef{QStringLiteral("Post_code"),
                  {key("ID"), text("location_code"), text("Province"), text("District"),
                   text("Sub_district"), text("Post_code")},
                  {index("post_code_place", {QStringLiteral("Province"), QStringLiteral("District"),
                                             QStringLiteral("Sub_district")}),
                   index("post_code_code", {QStringLiteral("Post_code")})}};
    t << TableDef{QStringLiteral("pre_name"), {key("ID"), text("pre_name"), text("sex")}, {}};
    t << TableDef{QStringLiteral("size"), {key("id"), text("size")}, {}};
    t << TableDef{QStringLiteral("status_cust"), {key("id"), text("size")}, {}};
    t << TableDef{QStringLiteral("user_column"),
                  {key("ID"), text("db_field"), whole("field_index"), text("user_caption")},
                  {}};
    return t;
}

QList<TableDef> archiveTables()
{
    return {contractTable(), renewalTable()};
}

QList<TableDef> personalTables()
{
    return {TableDef{QStringLiteral("Printer_tb"),
                     {text("Report_name"), text("Printer_name"), whole("Printer_index"),
                      whole("OffsetLeft"), yesNo("Preview")},
                     {}}};
}

// The kinds of document with a printer row, in line order.
const QStringList& printerRows()
{
    static const QStringList rows = {
        QStringLiteral("ใบสัญญา"),           QStringLiteral("ใบขายฝากใหญ่"),
        QStringLiteral("ใบขายฝากย่อ"),       QStringLiteral("การ์ดต่อดอก"),
        QStringLiteral("ใบต่อดอกใหญ่"),       QStringLiteral("ใบต่อดอกย่อ"),
        QStringLiteral("รายงานสรุป รับ-จ่าย"), QStringLiteral("รายงานสรุปสัญญา"),
        QStringLiteral("ใบเสร็จรับเงิน"),      QStringLiteral("ป้ายสินค้า"),
    };
    return rows;
}

platform::db::ColumnSpec specOf(const ColumnDef& c)
{
    return {c.name, c.kind, c.autoKey};
}

void createTable(Database& db, const TableDef& t)
{
    QList<platform::db::ColumnSpec> cols;
    for (const ColumnDef& c : t.columns)
        cols << specOf(c);
    db.createTable(t.name, cols);
}

void createIndexes(Database& db, const TableDef& t)
{
    for (const IndexDef& i : t.indexes)
        db.createIndex(i.name, t.name, i.columns, i.unique);
}

qint64 rowCount(const Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM ") + quoteName(table)).toLongLong();
}

void insertRow(Database& db, const QString& table, const QStringList& columns,
               const QVariantList& values)
{
    QStringList names, marks;
    for (const QString& c : columns) {
        names << quoteName(c);
        marks << QStringLiteral("?");
    }
    db.exec(QStringLiteral("INSERT INTO ") + quoteName(table) + QStringLiteral(" (") +
                names.join(u',') + QStringLiteral(") VALUES (") + marks.join(u',') + u')',
            values);
}

QVariant units(const char* decimalText)
{
    return QVariant::fromValue<qlonglong>(
        Decimal::parse(QString::fromLatin1(decimalText)).value_or(Decimal()).units());
}

// Rows every database of a role must have; added wherever they are missing.
void ensureRequiredRows(Database& db, DatabaseRole role)
{
    switch (role) {
    case DatabaseRole::Main: {
        if (rowCount(db, QStringLiteral("config_setting")) == 0) {
            insertRow(db, QStringLiteral("config_setting"),
                      {QStringLiteral("company_name"),      QStringLiteral("chumnum_run"),
                       QStringLiteral("chumnum_autorun"),   QStringLiteral("chumnum_duration"),
                       QStringLiteral("dedug_fee"),         QStringLiteral("relax_day"),
                       QStringLiteral("clear_employee"),    QStringLiteral("MinInteres"),
                       QStringLiteral("D_interes_rate"),    QStringLiteral("sanya_cfg"),
                       QStringLiteral("sanya_copy"),        QStringLiteral("tor_cfg"),
                       QStringLiteral("tor_copy"),          QStringLiteral("recvtor_cfg"),
                       QStringLiteral("recvtai_cfg"),       QStringLiteral("recv_copy"),
                       QStringLiteral("city_call"),         QStringLiteral("Pre_Recv"),
                       QStringLiteral("run_recv"),          QStringLiteral("offset_print"),
                       QStringLiteral("ReceptPrinterSize"), QStringLiteral("Com_Kon"),
                       QStringLiteral("Run_Invoice"),       QStringLiteral("use_login"),
                       QStringLiteral("Backup_alert"),      QStringLiteral("Backup_duration"),
                       QStringLiteral("backup_path")},
                      {QString(),
                       1,
                       1,
                       30,
                       0,
                       7,
                       0,
                       units("0"),
                       QStringLiteral("จริง"),
                       QStringLiteral("2"),
                       0,
                       QStringLiteral("3"),
                       0,
                       QStringLiteral("3"),
                       QStringLiteral("3"),
                       0,
                       0,
                       QStringLiteral("R"),
                       1,
                       0,
                       58,
                       0,
                       1,
                       1,
                       1,
                       7,
                       QString()});
        }
        for (int n = 1; n <= 5; ++n) {
            const QString name = QString::number(n);
            if (db.scalar(QStringLiteral("SELECT count(*) FROM Period WHERE TableName = ?"), {name})
                    .toLongLong() == 0)
                insertRow(db, QStringLiteral("Period"),
                          {QStringLiteral("TableName"), QStringLiteral("Period")}, {name, 30});
        }
        break;
    }
    case DatabaseRole::Customer:
        if (rowCount(db, QStringLiteral("config_setting")) == 0)
            insertRow(db, QStringLiteral("config_setting"), {QStringLiteral("company_name")},
                      {QString()});
        break;
    case DatabaseRole::Personal: {
        const QStringList& rows = printerRows();
        for (const QString& r : rows) {
            if (db.scalar(QStringLiteral("SELECT count(*) FROM Printer_tb WHERE Report_name = ?"),
                          {r})
                    .toLongLong() == 0)
                insertRow(db, QStringLiteral("Printer_tb"),
                          {QStringLiteral("Report_name"), QStringLiteral("Printer_name"),
                           QStringLiteral("Preview")},
                          {r, QString(), 1});
        }
        break;
    }
    case DatabaseRole::Archive:
        break;
    }
}

// First rows a new shop starts with; never added again once removed.
void seedNewDatabase(Database& db, DatabaseRole role)
{
    if (role == DatabaseRole::Main) {
        const QStringList groups = {QStringLiteral("ทองคำ"), QStringLiteral("โทรศัพท์มือถือ"),
                                    QStringLiteral("เครื่องใช้ไฟฟ้า"), QStringLiteral("นาฬิกา"),
                                    QStringLiteral("อื่นๆ")};
        for (const QString& g : groups)
            insertRow(db, QStringLiteral("chumnum_prod_group"), {QStringLiteral("prod_group")},
                      {g});
        for (const char* rate : {"1", "1.25", "1.5", "2", "3"})
            insertRow(db, QStringLiteral("fee_table"),
                      {QStringLiteral("duration"), QStringLiteral("fee")}, {30, units(rate)});
    } else if (role == DatabaseRole::Customer) {
        const QList<QPair<QString, QString>> titles = {
            {QStringLiteral("นาย"), QStringLiteral("ชาย")},
            {QStringLiteral("นาง"), QStringLiteral("หญิง")},
            {QStringLiteral("นางสาว"), QStringLiteral("หญิง")},
            {QStringLiteral("เด็กชาย"), QStringLiteral("ชาย")},
            {QStringLiteral("เด็กหญิง"), QStringLiteral("หญิง")},
            {QStringLiteral("บริษัท"), QString()},
            {QStringLiteral("ห้างหุ้นส่วนจำกัด"), QString()},
            {QStringLiteral("ร้าน"), QString()},
        };
        for (const auto& [title, sex] : titles)
            insertRow(db, QStringLiteral("pre_name"),
                      {QStringLiteral("pre_name"), QStringLiteral("sex")}, {title, sex});
        for (const QString& g : {QStringLiteral("ทั่วไป"), QStringLiteral("VIP")})
            insertRow(db, QStringLiteral("size"), {QStringLiteral("size")}, QVariantList{g});
        for (const QString& s :
             {QStringLiteral("ปกติ"), QStringLiteral("ลูกค้าประจำ"), QStringLiteral("งดให้บริการ")})
            insertRow(db, QStringLiteral("status_cust"), {QStringLiteral("size")}, QVariantList{s});
        for (int i = 1; i <= 5; ++i)
            insertRow(db, QStringLiteral("user_column"),
                      {QStringLiteral("db_field"), QStringLiteral("field_index"),
                       QStringLiteral("user_caption")},
                      QVariantList{QString(QStringLiteral("user") + QString::number(i)), 17 + i,
                                   QString(QStringLiteral("user") + QString::number(i))});
    }
}

QString metaValue(const Database& db, const QString& name)
{
    return db.scalar(QStringLiteral("SELECT value FROM tawela_meta WHERE name = ?"), {name})
        .toString();
}

void setMeta(Database& db, const QString& name, const QString& value)
{
    db.exec(QStringLiteral("INSERT INTO tawela_meta (name, value) VALUES (?, ?) "
                           "ON CONFLICT(name) DO UPDATE SET value = excluded.value"),
            {name, value});
}

void createMetaTable(Database& db)
{
    db.exec(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS tawela_meta (name TEXT PRIMARY KEY, value TEXT)"));
}

// Creates what is missing of the role's tables, columns and indexes; true
// when anything had to be added.
bool ensureStructure(Database& db, DatabaseRole role, bool dryRun)
{
    bool missing = false;
    db.forgetTableInfo();
    for (const TableDef& t : tables(role)) {
        if (!db.hasTable(t.name)) {
            missing = true;
            if (!dryRun) {
                createTable(db, t);
                createIndexes(db, t);
            }
            continue;
        }
        // A copy: adding a column forgets the cached one.
        const platform::db::TableInfo info = db.tableInfo(t.name);
        for (const ColumnDef& c : t.columns) {
            if (info.indexOf(c.name) < 0) {
                missing = true;
                if (!dryRun && !c.autoKey)
                    db.addColumn(t.name, specOf(c));
            }
        }
        for (const IndexDef& i : t.indexes) {
            if (!db.hasIndex(i.name)) {
                missing = true;
                if (!dryRun)
                    createIndexes(db, TableDef{t.name, {}, {i}});
            }
        }
    }
    db.forgetTableInfo();
    return missing;
}

bool requiredRowsMissing(const Database& db, DatabaseRole role)
{
    switch (role) {
    case DatabaseRole::Main:
        return rowCount(db, QStringLiteral("config_setting")) == 0 ||
               db.scalar(QStringLiteral("SELECT count(DISTINCT TableName) FROM Period WHERE "
                                        "TableName IN ('1','2','3','4','5')"))
                       .toLongLong() < 5;
    case DatabaseRole::Customer:
        return rowCount(db, QStringLiteral("config_setting")) == 0;
    case DatabaseRole::Personal:
        return rowCount(db, QStringLiteral("Printer_tb")) < printerRows().size();
    case DatabaseRole::Archive:
        return false;
    }
    return false;
}

} // namespace

int loadPostalDirectory(Database& customer)
{
    if (rowCount(customer, QStringLiteral("Post_code")) > 0)
        return 0;
    QFile file(platform::shippedFolder() + QStringLiteral("/postal_codes.tsv"));
    if (platform::shippedFolder().isEmpty() || !file.open(QIODevice::ReadOnly))
        throw DbError(error_number::FileNotFound, QStringLiteral("ไม่พบรายชื่อรหัสไปรษณีย์ที่มากับโปรแกรม"));
    const QList<QByteArray> lines = file.readAll().split('\n');
    // A few hundred rows a statement: the directory loads in a moment on
    // either engine.
    constexpr int Batch = 25;
    const QString head = QStringLiteral("INSERT INTO Post_code (location_code, Province, District, "
                                        "Sub_district, Post_code) VALUES ");
    QStringList marks;
    QVariantList binds;
    int added = 0;
    auto flush = [&] {
        if (marks.isEmpty())
            return;
        customer.exec(head + marks.join(u','), binds);
        marks.clear();
        binds.clear();
    };
    for (qsizetype i = 1; i < lines.size(); ++i) { // the first line names the columns
        const QList<QByteArray> cells = lines[i].split('\t');
        if (cells.size() != 5)
            continue;
        marks << QStringLiteral("(?,?,?,?,?)");
        for (const QByteArray& cell : cells)
            binds << QString::fromUtf8(cell);
        ++added;
        if (marks.size() == Batch)
            flush();
    }
    flush();
    return added;
}

namespace {

// Upgrade steps: step k takes a database from version k-1 to k.
using Step = std::function<void(Database&, DatabaseRole)>;

const QList<Step>& steps()
{
    static const QList<Step> list = {
        // 1: the first tables and rows
        [](Database& db, DatabaseRole role) {
            for (const TableDef& t : tables(role)) {
                createTable(db, t);
                createIndexes(db, t);
            }
            db.forgetTableInfo();
            seedNewDatabase(db, role);
            ensureRequiredRows(db, role);
        },
        // 2: a receipt number is stored once. A database that already holds
        // the same number twice (a counter reset elsewhere) keeps its rows,
        // and a trigger refuses new ones instead of the index.
        [](Database& db, DatabaseRole role) {
            if (role != DatabaseRole::Main)
                return;
            const bool duplicates =
                db.scalar(QStringLiteral(
                              "SELECT count(*) FROM (SELECT recv_no FROM service "
                              "WHERE recv_no <> '' GROUP BY recv_no HAVING count(*) > 1) twice"))
                    .toLongLong() > 0;
            if (!duplicates) {
                db.exec(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS service_recv_no_once ON "
                                       "service (recv_no) WHERE recv_no <> ''"));
                return;
            }
            if (db.isServer()) {
                db.exec(QStringLiteral(
                    "CREATE OR REPLACE FUNCTION service_recv_no_once() RETURNS trigger AS $$ "
                    "BEGIN IF NEW.recv_no <> '' AND EXISTS (SELECT 1 FROM service WHERE recv_no = "
                    "NEW.recv_no) THEN RAISE EXCEPTION 'duplicate receipt number %', NEW.recv_no "
                    "USING ERRCODE = 'unique_violation'; END IF; RETURN NEW; END $$ "
                    "LANGUAGE plpgsql"));
                db.exec(QStringLiteral("DROP TRIGGER IF EXISTS service_recv_no_once ON service"));
                db.exec(QStringLiteral("CREATE TRIGGER service_recv_no_once BEFORE INSERT ON "
                                       "service FOR EACH ROW EXECUTE FUNCTION "
                                       "service_recv_no_once()"));
                return;
            }
            db.exec(QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS service_recv_no_once BEFORE INSERT ON service "
                "WHEN NEW.recv_no <> '' AND EXISTS (SELECT 1 FROM service WHERE recv_no = "
                "NEW.recv_no) BEGIN SELECT RAISE(ABORT, 'UNIQUE constraint failed: "
                "service.recv_no'); END"));
        },
        // 3: the postal-code directory of the whole country, in a customer
        // database whose directory is still empty.
        [](Database& db, DatabaseRole role) {
            if (role == DatabaseRole::Customer)
                loadPostalDirectory(db);
        },
        // 4: a customer code is given once, so two counters storing the same
        // new code cannot both succeed. A file that already holds a code
        // twice keeps its rows; the screen's own check guards it.
        [](Database& db, DatabaseRole role) {
            if (role != DatabaseRole::Customer)
                return;
            db.forgetTableInfo();
            const bool twice =
                db.scalar(QStringLiteral("SELECT count(*) FROM (SELECT C_code FROM customer "
                                         "WHERE C_code <> '' GROUP BY C_code HAVING count(*) > 1) "
                                         "twice"))
                    .toLongLong() > 0;
            if (!twice)
                db.createIndex(QStringLiteral("customer_c_code_once"), QStringLiteral("customer"),
                               {QStringLiteral("C_code")}, true, QStringLiteral("C_code <> ''"));
        },
        // 5: the law's limits in the settings row, on for every shop with
        // the ceiling and years of the Civil and Commercial Code.
        [](Database& db, DatabaseRole role) {
            if (role != DatabaseRole::Main)
                return;
            ensureStructure(db, role, false);
            db.exec(QStringLiteral("UPDATE config_setting SET legal_check = 1, legal_ceiling = ?, "
                                   "legal_years = 3, payoff_rows = 3 WHERE legal_years IS NULL"),
                    {units("15")});
        },
    };
    return list;
}

DbError notOurs(const Database& db, DatabaseRole role)
{
    return DbError(error_number::UnrecognizedFormat,
                   QStringLiteral("แฟ้ม '") + QDir::toNativeSeparators(db.path()) +
                       QStringLiteral("' ไม่ใช่") + roleTitle(role) + QStringLiteral("ของโปรแกรม"));
}

} // namespace

const QList<TableDef>& tables(DatabaseRole role)
{
    static const QList<TableDef> main = mainTables();
    static const QList<TableDef> customer = customerTables();
    static const QList<TableDef> archive = archiveTables();
    static const QList<TableDef> personal = personalTables();
    switch (role) {
    case DatabaseRole::Main:
        return main;
    case DatabaseRole::Customer:
        return customer;
    case DatabaseRole::Archive:
        return archive;
    case DatabaseRole::Personal:
        return personal;
    }
    return main;
}

const TableDef* findTable(DatabaseRole role, const QString& name)
{
    for (const TableDef& t : tables(role))
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

int version(const Database& db)
{
    if (!db.hasTable(MetaTable))
        return 0;
    return metaValue(db, QStringLiteral("schema_version")).toInt();
}

void create(Database& db, DatabaseRole role, const QString& password)
{
    if (db.hasTable(MetaTable)) {
        openExisting(db, role, password);
        return;
    }
    // A file with tables of some other program is not taken over.
    if (!db.tableNames().isEmpty())
        throw notOurs(db, role);
    Transaction tx(db);
    createMetaTable(db);
    setMeta(db, QStringLiteral("role"), roleName(role));
    setMeta(db, QStringLiteral("password_hash"),
            platform::password_hash::hash(password, platform::password_hash::Strength::Light));
    const QList<Step>& all = steps();
    for (int v = 0; v < all.size(); ++v)
        all[v](db, role);
    setMeta(db, QStringLiteral("schema_version"), QString::number(all.size()));
    tx.commit();
    db.forgetTableInfo();
}

void markRetired(Database& db, const QString& note)
{
    setMeta(db, QStringLiteral("retired"), note);
}

QString retiredNote(const Database& db)
{
    return db.hasTable(MetaTable) ? metaValue(db, QStringLiteral("retired")) : QString();
}

void setPassword(Database& db, const QString& password)
{
    setMeta(db, QStringLiteral("password_hash"),
            platform::password_hash::hash(password, platform::password_hash::Strength::Light));
}

QString checkCopy(const QString& path, const QString& role, const QString& password)
{
    try {
        const auto db = Database::open(path, platform::db::OpenMode::ExistingOnly);
        if (!db->hasTable(MetaTable) || metaValue(*db, QStringLiteral("role")) != role)
            return QStringLiteral("ไม่ใช่ฐานข้อมูล \"%1\" ของโปรแกรม").arg(role);
        if (!platform::password_hash::verify(metaValue(*db, QStringLiteral("password_hash")),
                                             password))
            return QStringLiteral("รหัสผ่านของฐานข้อมูลไม่ตรงกับที่บันทึกไว้ในชุดสำรอง");
        return {};
    } catch (const DbError& e) {
        return e.description();
    }
}

void openExisting(Database& db, DatabaseRole role, const QString& password)
{
    if (!db.hasTable(MetaTable))
        throw notOurs(db, role);
    const QString storedRole = metaValue(db, QStringLiteral("role"));
    if (storedRole != roleName(role))
        throw notOurs(db, role);
    if (db.isServer()) {
        if (const QString retired = retiredNote(db); !retired.isEmpty())
            throw DbError(error_number::CannotOpen,
                          QStringLiteral("ข้อมูลร้านบนเครื่องแม่ข่ายนี้ย้ายกลับไปเป็นแฟ้มแล้ว (") + retired +
                              QStringLiteral(") เครื่องนี้ยังตั้งให้ใช้เครื่องแม่ข่ายอยู่ จึงไม่เปิดข้อมูลชุดนั้น "
                                             "ให้ใช้เครื่องที่ย้ายข้อมูล หรือคัดลอก tawela.ini "
                                             "และแฟ้มข้อมูลจากเครื่องนั้นมาที่เครื่องนี้"));
    }
    // On the server, access is the server's own sign-in; the stored hash
    // guards the files, which anyone with the folder could open.
    const QString stored = metaValue(db, QStringLiteral("password_hash"));
    if (!db.isServer()) {
        if (platform::password_hash::isHash(stored) && !platform::password_hash::acceptable(stored))
            throw DbError(error_number::UnrecognizedFormat,
                          QStringLiteral("ค่าตรวจรหัสผ่านในแฟ้ม '") +
                              QDir::toNativeSeparators(db.path()) +
                              QStringLiteral(
                                  "' ขอใช้หน่วยความจำหรือเวลาเกินขอบเขตของโปรแกรม แฟ้มนี้ไม่ใช่ของโปรแกรม"));
        if (!platform::password_hash::verify(stored, password))
            throw DbError(error_number::WrongPassword,
                          QStringLiteral("รหัสผ่านของ") + roleTitle(role) + QStringLiteral(" '") +
                              QDir::toNativeSeparators(db.path()) + QStringLiteral("' ไม่ถูกต้อง"));
    }
    // The settings row holds the running numbers of contracts and receipts:
    // made anew it would start them again at 1 and reuse numbers already on
    // paper. Its absence is damage to be repaired from a backup.
    if (role == DatabaseRole::Main && db.hasTable(QStringLiteral("config_setting")) &&
        rowCount(db, QStringLiteral("config_setting")) == 0)
        throw DbError(
            error_number::NoCurrentRecord,
            QStringLiteral("ฐานข้อมูลหลัก '") + QDir::toNativeSeparators(db.path()) +
                QStringLiteral("' ไม่มีแถวค่าตั้งระบบ (config_setting) ที่เก็บเลขรันของสัญญาและใบเสร็จ "
                               "แฟ้มอาจเสียหาย กรุณาคืนแฟ้มจากสำเนาสำรอง"));
    const int storedVersion = version(db);
    const QList<Step>& all = steps();
    if (storedVersion > all.size())
        throw DbError(error_number::UnrecognizedFormat,
                      QStringLiteral("แฟ้ม '") + QDir::toNativeSeparators(db.path()) +
                          QStringLiteral("' มาจากโปรแกรมรุ่นที่ใหม่กว่า กรุณาปรับรุ่นโปรแกรมก่อน"));
    for (int v = storedVersion; v < all.size(); ++v) {
        Transaction tx(db);
        // Another copy may have upgraded while this one waited for the lock.
        if (version(db) > v)
            continue;
        all[v](db, role);
        setMeta(db, QStringLiteral("schema_version"), QString::number(v + 1));
        tx.commit();
    }
    if (ensureStructure(db, role, true) || requiredRowsMissing(db, role)) {
        Transaction tx(db);
        ensureStructure(db, role, false);
        ensureRequiredRows(db, role);
        tx.commit();
    }
    db.forgetTableInfo();
}

} // namespace schema
} // namespace tawela::app

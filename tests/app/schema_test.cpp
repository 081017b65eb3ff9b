#include "admin/settings.h"
#include "app/schema.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <QFile>

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace tawela;
using app::DatabaseRole;
using platform::db::Database;
using platform::db::DbError;
using platform::db::OpenMode;
namespace error_number = platform::db::error_number;

namespace {

const QString Password = QStringLiteral("*prepare8");

qint64 count(const Database& db, const QString& sql)
{
    return db.scalar(sql).toLongLong();
}

int openError(Database& db, DatabaseRole role, const QString& password = Password)
{
    try {
        app::schema::openExisting(db, role, password);
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Schema, EveryRoleHoldsItsTables)
{
    const QMap<DatabaseRole, QStringList> expected = {
        {DatabaseRole::Main,
         {"config_setting", "employee", "chumnum", "chumnum_tor", "service", "spending",
          "fee_table", "deduct_table", "fee_table1", "fee_table5", "deduct_table1", "deduct_table5",
          "Period", "chumnum_prod_group", "temp"}},
        {DatabaseRole::Customer,
         {"config_setting", "customer", "post_code", "pre_name", "size", "status_cust",
          "user_column"}},
        {DatabaseRole::Archive, {"chumnum", "chumnum_tor"}},
        {DatabaseRole::Personal, {"Printer_tb"}},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        test::TempDatabase t(it.key());
        for (const QString& table : it.value())
            EXPECT_TRUE(t.db->hasTable(table)) << qPrintable(table);
        EXPECT_EQ(app::schema::version(*t.db), app::schema::CurrentVersion);
    }
}

TEST(Schema, CustomerColumnsKeepTheirPositions)
{
    test::TempDatabase t(DatabaseRole::Customer);
    const QStringList expected = {
        "ID",          "C_code",    "C_prename",  "C_name",        "C_Sname",       "birthday",
        "C_age",       "C_ID",      "C_address",  "C_moo",         "C_soi",         "C_road",
        "C_tumbol",    "C_Ampor",   "C_Province", "C_MP",          "C_HP",          "C_FAX",
        "user1",       "user2",     "user3",      "user4",         "user5",         "email",
        "Note",        "image1",    "image2",     "image3",        "Excel_file",    "dt_im1",
        "dt_im2",      "dt_im3",    "Excel_name", "C_income",      "city_call",     "class",
        "sex",         "education", "marrital",   "spouse",        "spouse_occ",    "spouse_detail",
        "Spare1",      "spare2",    "spare3",     "full_address1", "full_address2", "zip",
        "month_birth", "points",    "row_version"};
    QStringList actual;
    for (const auto& c : t.db->tableInfo(QStringLiteral("Customer")).columns())
        actual << c.name;
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(t.db->tableInfo(QStringLiteral("customer")).column(QStringLiteral("user4")).kind,
              platform::db::ColumnKind::Decimal);
    EXPECT_EQ(t.db->tableInfo(QStringLiteral("customer")).column(QStringLiteral("USER5")).kind,
              platform::db::ColumnKind::Date);
}

TEST(Schema, ArchiveContractsMatchTheMainOnes)
{
    test::TempDatabase main(DatabaseRole::Main);
    test::TempDatabase archive(DatabaseRole::Archive);
    for (const char* table : {"chumnum", "chumnum_tor"}) {
        QStringList a, b;
        for (const auto& c : main.db->tableInfo(QLatin1String(table)).columns())
            a << c.name;
        for (const auto& c : archive.db->tableInfo(QLatin1String(table)).columns())
            b << c.name;
        EXPECT_EQ(a, b) << table;
    }
    const auto& cols = main.db->tableInfo(QStringLiteral("chumnum")).columns();
    EXPECT_EQ(cols[0].name, QStringLiteral("ID"));
    EXPECT_EQ(cols[1].name, QStringLiteral("Policy_no"));
}

TEST(Schema, FirstRowsAndCreatingTwice)
{
    test::TempDatabase main(DatabaseRole::Main);
    test::TempDatabase personal(DatabaseRole::Personal);
    test::TempDatabase customer(DatabaseRole::Customer);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(count(*main.db, QStringLiteral("SELECT count(*) FROM config_setting")), 1);
        QStringList periods;
        for (QSqlQuery q = main.db->exec(
                 QStringLiteral("SELECT TableName, Period FROM Period ORDER BY rowid"));
             q.next();)
            periods << q.value(0).toString() + u'=' + q.value(1).toString();
        EXPECT_EQ(periods.join(u','), QStringLiteral("1=30,2=30,3=30,4=30,5=30"));
        EXPECT_EQ(count(*customer.db, QStringLiteral("SELECT count(*) FROM pre_name")), 8);
        EXPECT_EQ(customer.db
                      ->scalar(QStringLiteral("SELECT sex FROM pre_name WHERE pre_name = "
                                              "'นางสาว'"))
                      .toString(),
                  QStringLiteral("หญิง"));
        platform::db::Recordset printers(personal.db, QStringLiteral("printer_tb"));
        QStringList names;
        for (; !printers.atEnd(); printers.moveNext())
            names << printers.text(QStringLiteral("report_name"));
        EXPECT_EQ(names, (QStringList{"ใบสัญญา", "ใบขายฝากใหญ่", "ใบขายฝากย่อ", "การ์ดต่อดอก",
                                      "ใบต่อดอกใหญ่", "ใบต่อดอกย่อ", "รายงานสรุป รับ-จ่าย",
                                      "รายงานสรุปสัญญา", "ใบเสร็จรับเงิน", "ป้ายสินค้า"}));
        // Running setup again on the same files adds nothing.
        app::schema::create(*main.db, DatabaseRole::Main, Password);
        app::schema::create(*personal.db, DatabaseRole::Personal, Password);
        app::schema::create(*customer.db, DatabaseRole::Customer, Password);
    }
}

TEST(Schema, OlderDatabaseGetsWhatItLacks)
{
    test::TempDatabase t(DatabaseRole::Main);
    t.db->exec(QStringLiteral("DROP TABLE fee_table3"));
    t.db->exec(QStringLiteral("DELETE FROM Period WHERE TableName = '4'"));
    t.db->exec(QStringLiteral("ALTER TABLE chumnum DROP COLUMN L_tor"));
    t.db->exec(QStringLiteral("DROP INDEX chumnum_ku_id"));
    t.db->exec(QStringLiteral("DELETE FROM chumnum_prod_group"));
    t.db->forgetTableInfo();

    app::schema::openExisting(*t.db, DatabaseRole::Main, Password);
    EXPECT_TRUE(t.db->hasTable(QStringLiteral("fee_table3")));
    EXPECT_EQ(count(*t.db, QStringLiteral("SELECT count(*) FROM Period WHERE TableName = '4'")), 1);
    EXPECT_GE(t.db->tableInfo(QStringLiteral("chumnum")).indexOf(QStringLiteral("L_tor")), 0);
    EXPECT_TRUE(t.db->hasIndex(QStringLiteral("chumnum_ku_id")));
    // Product groups a shop removed on purpose are not brought back.
    EXPECT_EQ(count(*t.db, QStringLiteral("SELECT count(*) FROM chumnum_prod_group")), 0);
}

TEST(Schema, AMissingSettingsRowIsDamageNotMadeAnew)
{
    test::TempDatabase t(DatabaseRole::Main);
    t.db->exec(QStringLiteral("INSERT INTO service (recv_no) VALUES ('R1')"));
    t.db->exec(QStringLiteral("DELETE FROM config_setting"));
    EXPECT_EQ(openError(*t.db, DatabaseRole::Main), error_number::NoCurrentRecord);
    EXPECT_EQ(count(*t.db, QStringLiteral("SELECT count(*) FROM config_setting")), 0);
}

TEST(Schema, AReceiptNumberIsStoredOnce)
{
    test::TempDatabase t(DatabaseRole::Main);
    t.db->exec(QStringLiteral("INSERT INTO service (recv_no) VALUES ('R1')"));
    EXPECT_THROW(t.db->exec(QStringLiteral("INSERT INTO service (recv_no) VALUES ('R1')")),
                 DbError);
    t.db->exec(QStringLiteral("INSERT INTO service (recv_no) VALUES ('')"));
    t.db->exec(QStringLiteral("INSERT INTO service (recv_no) VALUES ('')")); // no number: no rule

    // A database from elsewhere that holds R7 twice still opens, keeps both,
    // and takes no third.
    test::TempDatabase old(DatabaseRole::Main);
    old.db->exec(QStringLiteral("DROP INDEX service_recv_no_once"));
    old.db->exec(QStringLiteral("INSERT INTO service (recv_no) VALUES ('R7'), ('R7')"));
    old.db->exec(
        QStringLiteral("UPDATE tawela_meta SET value = '1' WHERE name = 'schema_version'"));
    EXPECT_EQ(openError(*old.db, DatabaseRole::Main), 0);
    EXPECT_EQ(count(*old.db, QStringLiteral("SELECT count(*) FROM service WHERE recv_no = 'R7'")),
              2);
    try {
        old.db->exec(QStringLiteral("INSERT INTO service (recv_no) VALUES ('R7')"));
        ADD_FAILURE() << "a third R7 was stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::DuplicateKey);
    }
}

TEST(Schema, ACustomerCodeIsGivenOnceAndOlderFilesWithTwiceOpen)
{
    test::TempDatabase t(DatabaseRole::Customer);
    t.db->exec(QStringLiteral("INSERT INTO customer (C_code) VALUES ('77'), (''), ('')"));
    try {
        t.db->exec(QStringLiteral("INSERT INTO customer (C_code) VALUES ('77')"));
        ADD_FAILURE() << "a second customer 77 was stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::DuplicateKey);
    }

    // A file of an older program with a code twice and no version column.
    test::TempDatabase old(DatabaseRole::Customer);
    old.db->exec(QStringLiteral("DROP INDEX customer_c_code_once"));
    old.db->exec(QStringLiteral("INSERT INTO customer (C_code) VALUES ('5'), ('5')"));
    old.db->exec(QStringLiteral("ALTER TABLE customer DROP COLUMN row_version"));
    old.db->forgetTableInfo();
    old.db->exec(
        QStringLiteral("UPDATE tawela_meta SET value = '3' WHERE name = 'schema_version'"));
    EXPECT_EQ(openError(*old.db, DatabaseRole::Customer), 0);
    EXPECT_EQ(count(*old.db, QStringLiteral("SELECT count(*) FROM customer WHERE C_code = '5' "
                                            "AND coalesce(row_version, 0) = 0")),
              2);
}

TEST(Schema, UpgradeStepsRunFromTheStoredVersion)
{
    test::TempDatabase t(DatabaseRole::Main);
    // A database that says it is older runs the steps again; each step is
    // safe to re-run and ends at the current version.
    t.db->exec(QStringLiteral("UPDATE tawela_meta SET value = '0' WHERE name = 'schema_version'"));
    app::schema::openExisting(*t.db, DatabaseRole::Main, Password);
    EXPECT_EQ(app::schema::version(*t.db), app::schema::CurrentVersion);
    EXPECT_EQ(count(*t.db, QStringLiteral("SELECT count(*) FROM config_setting")), 1);

    t.db->exec(QStringLiteral("UPDATE tawela_meta SET value = '99' WHERE name = 'schema_version'"));
    EXPECT_EQ(openError(*t.db, DatabaseRole::Main), error_number::UnrecognizedFormat);
}

TEST(Schema, AnOlderShopGetsTheLawsLimitsOnAndAShopThatTurnedThemOffKeepsThem)
{
    test::TempDatabase old(DatabaseRole::Main);
    for (const char* column : {"legal_check", "legal_ceiling", "legal_years", "payoff_rows"})
        old.db->exec(QStringLiteral("ALTER TABLE config_setting DROP COLUMN ") +
                     QLatin1String(column));
    old.db->forgetTableInfo();
    old.db->exec(
        QStringLiteral("UPDATE tawela_meta SET value = '4' WHERE name = 'schema_version'"));
    app::schema::openExisting(*old.db, DatabaseRole::Main, Password);
    admin::Settings s = admin::loadSettings(old.db);
    EXPECT_TRUE(s.legalCheck);
    EXPECT_EQ(s.legalCeiling, test::d("15"));
    EXPECT_EQ(s.legalYears, 3);
    EXPECT_EQ(s.payoffRows, 3);

    s.legalCheck = false;
    admin::saveSettings(old.db, s);
    old.db->exec(
        QStringLiteral("UPDATE tawela_meta SET value = '4' WHERE name = 'schema_version'"));
    app::schema::openExisting(*old.db, DatabaseRole::Main, Password);
    EXPECT_FALSE(admin::loadSettings(old.db).legalCheck);
}

TEST(Schema, RefusesWrongPasswordRoleOrFile)
{
    test::TempDatabase t(DatabaseRole::Customer);
    if (!t.db->isServer()) { // there the server's own sign-in decides
        EXPECT_EQ(openError(*t.db, DatabaseRole::Customer, QStringLiteral("*Prepare8")),
                  error_number::WrongPassword);
        EXPECT_EQ(openError(*t.db, DatabaseRole::Customer, QString()), error_number::WrongPassword);
    }
    EXPECT_EQ(openError(*t.db, DatabaseRole::Main), error_number::UnrecognizedFormat);
    EXPECT_EQ(openError(*t.db, DatabaseRole::Customer), 0);

    // Someone else's SQLite file is neither opened nor taken over.
    QTemporaryDir dir;
    auto foreign = Database::open(dir.filePath(QStringLiteral("x.mdb")), OpenMode::CreateIfMissing);
    foreign->exec(QStringLiteral("CREATE TABLE notes (t TEXT)"));
    EXPECT_EQ(openError(*foreign, DatabaseRole::Main), error_number::UnrecognizedFormat);
    EXPECT_THROW(app::schema::create(*foreign, DatabaseRole::Main, Password), DbError);
    EXPECT_FALSE(foreign->hasTable(QStringLiteral("chumnum")));

    // A file that is not a database at all.
    QFile junk(dir.filePath(QStringLiteral("junk.mdb")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'J'));
    junk.close();
    try {
        Database::open(junk.fileName(), OpenMode::ExistingOnly);
        FAIL() << "opened a junk file";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), error_number::UnrecognizedFormat);
    }
}

TEST(Schema, TheWholeCountrysPostalDirectoryAndTheShopsOwnEdits)
{
    test::TempDatabase t(DatabaseRole::Customer);
    EXPECT_EQ(count(*t.db, QStringLiteral("SELECT count(*) FROM Post_code")), 7474);
    EXPECT_EQ(count(*t.db, QStringLiteral("SELECT count(DISTINCT Province) FROM Post_code")), 77);
    auto districtOf = [&](const char* code) {
        return t.db
            ->scalar(QStringLiteral("SELECT District FROM Post_code WHERE Post_code = ? "
                                    "ORDER BY location_code"),
                     {QString::fromLatin1(code)})
            .toString();
    };
    EXPECT_EQ(districtOf("10200"), QStringLiteral("พระนคร"));
    EXPECT_EQ(districtOf("40000"), QStringLiteral("เมืองขอนแก่น"));
    EXPECT_EQ(districtOf("50200"), QStringLiteral("เมืองเชียงใหม่"));

    // A shop's corrections survive the next upgrade.
    t.db->exec(
        QStringLiteral("UPDATE Post_code SET Post_code = '40001' WHERE Post_code = '40000'"));
    t.db->exec(QStringLiteral("UPDATE tawela_meta SET value = '2' WHERE name = 'schema_version'"));
    app::schema::openExisting(*t.db, DatabaseRole::Customer, Password);
    EXPECT_EQ(count(*t.db, QStringLiteral("SELECT count(*) FROM Post_code")), 7474);
    EXPECT_EQ(
        count(*t.db, QStringLiteral("SELECT count(*) FROM Post_code WHERE Post_code = '40000'")),
        0);
}

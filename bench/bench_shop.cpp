#include "bench/bench_shop.h"

#include "app/schema.h"
#include "platform/db/db_error.h"
#include "platform/error_log.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace tawela::bench {

namespace {

constexpr long long PerMonth = 8000;
constexpr long long Customers = 5; // contracts per customer

} // namespace

QString benchPolicyNo(long long i)
{
    const QDate month = QDate(2016, 1, 1).addMonths(int(i / PerMonth));
    return QStringLiteral("%1-%2-4-%3")
        .arg((month.year() + 543) % 100, 2, 10, QChar(u'0'))
        .arg(month.month(), 2, 10, QChar(u'0'))
        .arg(i % PerMonth + 1, 4, 10, QChar(u'0'));
}

QString benchCustomerId(long long customer)
{
    return QStringLiteral("%1").arg(1100000000000LL + customer, 13, 10, QChar(u'0'));
}

std::shared_ptr<platform::db::Database> benchShop(const QString& folder, long long contracts)
{
    const QString path = QDir(folder).filePath(QStringLiteral("tawela-shop-%1.mdb").arg(contracts));
    if (QFileInfo::exists(path))
        return platform::db::Database::open(path, platform::db::OpenMode::ExistingOnly);
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    {
        auto db = platform::db::Database::open(partial, platform::db::OpenMode::CreateIfMissing);
        app::schema::create(*db, app::DatabaseRole::Main, QStringLiteral("*prepare8"));
        db->exec(QStringLiteral("PRAGMA journal_mode = OFF"));
        db->exec(QStringLiteral("PRAGMA synchronous = OFF"));
        db->exec(QStringLiteral("PRAGMA cache_size = -262144"));
        // Contract i: month i / 8000 from January 2016, run i % 8000 + 1 in
        // its month, customer i / 5 spread over the years.
        db->exec(QStringLiteral(R"(
WITH RECURSIVE total(n) AS (SELECT ?),
seq(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM seq, total WHERE i + 1 < n),
c AS (SELECT i, n, i / 8000 AS m, i % 8000 + 1 AS run, (i * 7919) % (n / 5) AS cu,
             date('2016-01-01', '+' || (i / 8000) || ' months', '+' || ((i % 8000) * 28 / 8000) || ' days') AS d
      FROM seq, total)
INSERT INTO chumnum (Policy_no, ref_no, Ku_code, Ku_name, Ku_ID, Ku_address, object, Model, Amount1, Interest_rate,
                     Amount2, Policy_date, total_day, End_date, P_status, Close_date, row_version)
SELECT printf('%02d-%02d-4-%04d', (2559 + m / 12) % 100, m % 12 + 1, run),
       printf('%02d-%02d-4-%04d', (2559 + m / 12) % 100, m % 12 + 1, run),
       printf('C%07d', cu), printf('นาย ลูกค้า%d นามสกุล%d', cu, cu % 977),
       printf('%013d', 1100000000000 + cu),
       printf('%d หมู่ %d ต.ในเมือง อ.เมือง จ.ขอนแก่น', cu % 300 + 1, cu % 12 + 1), 'ทองคำ',
       'สร้อยคอทองคำ หนัก ' || (i % 5 + 1) || ' บาท',
       (1000 + i % 50000) * 10000, 20000, (1100 + i % 50000) * 10000, d, 30,
       date(d, '+30 days'), CASE WHEN i >= n * 9 / 10 OR i % 211 = 0 THEN 1 ELSE 0 END,
       CASE WHEN i >= n * 9 / 10 OR i % 211 = 0 THEN NULL ELSE date(d, '+30 days') END, 1
FROM c)"),
                 {contracts});
        db->exec(QStringLiteral("ANALYZE"));
    }
    QFile::rename(partial, path);
    return platform::db::Database::open(path, platform::db::OpenMode::ExistingOnly);
}

namespace {

const char* const GivenNames[] = {"สมชาย", "สมหญิง", "ใจดี",   "เกษม", "กมล", "ขวัญ", "จันทร์",
                                  "ชัยวัฒน์", "ณัฐพล",  "ดวงใจ", "ธนพร", "นภา", "บุญมี", "ประเสริฐ",
                                  "พิมพ์",   "มาลี",   "ยุทธนา", "รัตนา", "วิชัย", "สุดา"};

} // namespace

QString benchGivenName(int which)
{
    return QString::fromUtf8(GivenNames[which % 20]);
}

std::shared_ptr<platform::db::Database> benchCustomers(const QString& folder, long long customers)
{
    const QString path =
        QDir(folder).filePath(QStringLiteral("tawela-customers-%1.mdb").arg(customers));
    if (QFileInfo::exists(path))
        return platform::db::Database::open(path, platform::db::OpenMode::ExistingOnly);
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    {
        auto db = platform::db::Database::open(partial, platform::db::OpenMode::CreateIfMissing);
        app::schema::create(*db, app::DatabaseRole::Customer, QString());
        db->exec(QStringLiteral("PRAGMA journal_mode = OFF"));
        db->exec(QStringLiteral("PRAGMA synchronous = OFF"));
        db->exec(QStringLiteral("PRAGMA cache_size = -262144"));
        QStringList names;
        for (int i = 0; i < 20; ++i)
            names << QStringLiteral("(%1, '%2')").arg(i).arg(benchGivenName(i));
        db->exec(QStringLiteral(R"(
WITH RECURSIVE total(n) AS (SELECT ?),
seq(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM seq, total WHERE i + 1 < n),
given(k, name) AS (VALUES @GIVEN@)
INSERT INTO customer (ID, C_code, C_prename, C_name, C_Sname, birthday, C_age, C_ID, C_address,
                      C_moo, C_tumbol, C_Ampor, C_Province, C_MP, city_call, sex, zip,
                      full_address1, full_address2, spare3, spare2, month_birth)
SELECT i + 1, i + 1, 'นาย', given.name || (i / 20), 'นามสกุล' || (i % 977),
       date('1950-01-01', '+' || (i % 18000) || ' days'), 30, printf('%013d', 1100000000000 + i),
       (i % 300 + 1), 'หมู่ ' || (i % 12 + 1), 'ในเมือง', 'เมืองขอนแก่น', 'ขอนแก่น',
       printf('08%08d', i), 0, 'ชาย', '40000', (i % 300 + 1) || ' หมู่ ' || (i % 12 + 1),
       'ตำบลในเมือง', 'อำเภอเมืองขอนแก่น  จ.ขอนแก่น 40000',
       'นาย' || given.name || (i / 20) || ' นามสกุล' || (i % 977), 'มกราคม'
FROM seq JOIN given ON given.k = i % 20)")
                     .replace(QStringLiteral("@GIVEN@"), names.join(u',')),
                 {customers});
        db->exec(QStringLiteral("ANALYZE"));
    }
    QFile::rename(partial, path);
    return platform::db::Database::open(path, platform::db::OpenMode::ExistingOnly);
}

std::shared_ptr<platform::db::Database> benchShopOnServer(platform::db::ServerAddress server,
                                                          long long contracts)
{
    server.schema = QStringLiteral("bench_%1").arg(contracts);
    try {
        auto db = platform::db::Database::openServer(server, platform::db::OpenMode::ExistingOnly);
        if (db->scalar(QStringLiteral("SELECT count(*) FROM chumnum")).toLongLong() == contracts)
            return db;
    } catch (const platform::db::DbError&) {
    }
    {
        auto db =
            platform::db::Database::openServer(server, platform::db::OpenMode::CreateIfMissing);
        db->exec(QStringLiteral("DROP SCHEMA ") + server.schema + QStringLiteral(" CASCADE"));
    }
    auto db = platform::db::Database::openServer(server, platform::db::OpenMode::CreateIfMissing);
    app::schema::create(*db, app::DatabaseRole::Main, QString());
    // The same rows as the file's, in the server's spelling.
    db->exec(QStringLiteral(R"(
INSERT INTO chumnum (Policy_no, ref_no, Ku_code, Ku_name, Ku_ID, Ku_address, object, Model, Amount1,
                     Interest_rate, Amount2, Policy_date, total_day, End_date, P_status, Close_date,
                     row_version)
SELECT format('%s-%s-4-%s', lpad((((2559 + m / 12) % 100))::text, 2, '0'),
              lpad((m % 12 + 1)::text, 2, '0'), lpad(run::text, 4, '0')),
       format('%s-%s-4-%s', lpad((((2559 + m / 12) % 100))::text, 2, '0'),
              lpad((m % 12 + 1)::text, 2, '0'), lpad(run::text, 4, '0')),
       'C' || lpad(cu::text, 7, '0'), format('นาย ลูกค้า%s นามสกุล%s', cu, cu % 977),
       lpad((1100000000000 + cu)::text, 13, '0'),
       format('%s หมู่ %s ต.ในเมือง อ.เมือง จ.ขอนแก่น', cu % 300 + 1, cu % 12 + 1), 'ทองคำ',
       'สร้อยคอทองคำ หนัก ' || (i % 5 + 1) || ' บาท', (1000 + i % 50000) * 10000, 20000,
       (1100 + i % 50000) * 10000, d, 30, d + 30,
       CASE WHEN i >= n * 9 / 10 OR i % 211 = 0 THEN 1 ELSE 0 END,
       CASE WHEN i >= n * 9 / 10 OR i % 211 = 0 THEN NULL ELSE d + 30 END, 1
FROM (SELECT i, n, i / 8000 AS m, i % 8000 + 1 AS run, (i * 7919) % (n / 5) AS cu,
             (date '2016-01-01' + make_interval(months => (i / 8000)::int))::date
                 + ((i % 8000) * 28 / 8000)::int AS d
      FROM (SELECT ?::bigint AS n) total, generate_series(0, ?::bigint - 1) AS i) c)"),
             {contracts, contracts});
    db->exec(QStringLiteral("ANALYZE"));
    return db;
}

int runBenchmarks(int argc, char** argv, const BenchArguments& arguments,
                  const std::function<void()>& prepare, const std::function<void()>& cleanup)
{
    QCoreApplication app(argc, argv);
    const std::string countFlag = arguments.countFlag;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind(countFlag, 0) == 0)
            *arguments.count = std::stoll(a.substr(countFlag.size()));
        else if (a.rfind("--data=", 0) == 0)
            *arguments.dataDir = QString::fromStdString(a.substr(7));
        else if (arguments.server && a == "--server")
            *arguments.server = true;
        else
            rest.push_back(argv[i]);
    }
    int n = int(rest.size());
    benchmark::Initialize(&n, rest.data());
    platform::error_log::setFolder(*arguments.dataDir);
    prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    cleanup();
    return 0;
}

} // namespace tawela::bench

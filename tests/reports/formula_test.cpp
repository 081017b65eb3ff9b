#include "platform/db/table_info.h"
#include "reports/formula.h"
#include "temp_home.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace tawela;
using reports::Formula;
using reports::FormulaError;

namespace {

class FormulaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto add = [&](const char* no, const char* name, const char* due, int open, qint64 amount) {
            t.db->exec(QStringLiteral("INSERT INTO chumnum (Policy_no, Ku_name, L_returndate, "
                                      "P_status, Amount1) VALUES (?,?,?,?,?)"),
                       {QString::fromUtf8(no), QString::fromUtf8(name), QString::fromLatin1(due),
                        open, amount * 10000});
        };
        add("A1", "สมชาย O'Neil", "2024-03-01", 1, 1000);
        add("A2", "สมศรี", "2024-03-07", 1, 2500);
        add("A3", "มานี", "2024-03-31", 0, 500);
        add("A'4", "ร้าน'ดี", "2024-04-01", 1, 10000);
    }

    Formula::Resolver resolver()
    {
        return [this](const QString& table, const QString& column) {
            if (table.compare(QStringLiteral("chumnum"), Qt::CaseInsensitive) != 0)
                throw FormulaError(0, QStringLiteral("ไม่มีตาราง ") + table);
            const auto& c = t.db->tableInfo(table).column(column);
            return Formula::Field{platform::db::quoteName(c.name), int(c.kind)};
        };
    }

    // The contract numbers a formula selects, in key order.
    QStringList select(const QString& text)
    {
        QString sql = QStringLiteral("SELECT Policy_no FROM chumnum WHERE ");
        QVariantList binds;
        Formula::parse(text).compile(resolver(), sql, binds, t.db->dialect());
        EXPECT_FALSE(sql.contains(u'\'') && !sql.contains(QStringLiteral("ESCAPE")))
            << "a value was spliced: " << sql.toStdString();
        QSqlQuery q = t.db->exec(sql + QStringLiteral(" ORDER BY rowid"), binds);
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

    test::TempDatabase t;
};

int errorPosition(const QString& text)
{
    try {
        Formula::parse(text);
    } catch (const FormulaError& e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("สูตรไม่ถูกต้องที่ตำแหน่ง ")));
        return e.position();
    }
    return 0;
}

} // namespace

TEST_F(FormulaTest, TheFormulasCallersPass)
{
    EXPECT_EQ(select(QStringLiteral("{chumnum.Policy_no} = 'A2'")), QStringList{"A2"});
    EXPECT_EQ(select(QStringLiteral("{chumnum.Policy_no} = 'A''4'")), QStringList{"A'4"});
    EXPECT_EQ(select(QStringLiteral("DateValue({chumnum.L_returndate}) < DateValue(2024,3,7) and "
                                    "{chumnum.P_status} = true")),
              QStringList{"A1"});
    EXPECT_EQ(
        select(QStringLiteral("{chumnum.L_returndate} in Date (2024,3,1) to Date (2024,3,31)")),
        (QStringList{"A1", "A2", "A3"}));
    EXPECT_EQ(select(QStringLiteral("{chumnum.Ku_name}  like '*สม*' ")), (QStringList{"A1", "A2"}));
    EXPECT_EQ(select(QStringLiteral("{chumnum.Ku_name} like '*''*'")), (QStringList{"A1", "A'4"}));
    EXPECT_EQ(select(QString()), (QStringList{"A1", "A2", "A3", "A'4"}));
}

TEST_F(FormulaTest, PrecedenceNumbersAndBooleans)
{
    // and binds tighter than or
    EXPECT_EQ(select(QStringLiteral("{chumnum.Policy_no} = 'A3' or {chumnum.P_status} = true and "
                                    "{chumnum.Amount1} > 2000")),
              (QStringList{"A2", "A3", "A'4"}));
    EXPECT_EQ(select(QStringLiteral("({chumnum.Policy_no} = 'A3' or {chumnum.P_status} = true) and "
                                    "{chumnum.Amount1} > 2000")),
              (QStringList{"A2", "A'4"}));
    EXPECT_EQ(select(QStringLiteral("not {chumnum.P_status}")), QStringList{"A3"});
    EXPECT_EQ(select(QStringLiteral("{chumnum.P_status} = FALSE")), QStringList{"A3"});
    // Money compares exactly, decimals included.
    EXPECT_EQ(select(QStringLiteral("{chumnum.Amount1} >= 2500.00 AND {chumnum.Amount1} <> 10000")),
              QStringList{"A2"});
    EXPECT_EQ(select(QStringLiteral("{chumnum.Amount1} <= 500")), QStringList{"A3"});
    EXPECT_EQ(select(QStringLiteral("true")).size(), 4);
}

TEST_F(FormulaTest, CalculationsCountBahtAndADivisionByNothingSelectsNothing)
{
    t.db->exec(
        QStringLiteral("UPDATE chumnum SET total_day = 30, Interest_rate = Amount1 * 3 / 100"));
    t.db->exec(QStringLiteral("UPDATE chumnum SET total_day = 0 WHERE Policy_no = 'A3'"));
    t.db->exec(QStringLiteral("UPDATE chumnum SET Interest_rate = 30000 WHERE Policy_no = 'A2'"));
    // 3 % for 30 days is 36.5 % a year; A2's 3 baht on 2,500 is 1.46 %.
    const QString yearly = QStringLiteral(
        "{chumnum.Interest_rate} * 36500 / ({chumnum.Amount1} * {chumnum.total_day})");
    EXPECT_EQ(select(yearly + QStringLiteral(" > 15")), (QStringList{"A1", "A'4"}));
    EXPECT_EQ(
        select(yearly + QStringLiteral(" < 36.5001 and ") + yearly + QStringLiteral(" > 36.4999")),
        (QStringList{"A1", "A'4"}));
    EXPECT_EQ(select(QStringLiteral("{chumnum.Amount1} * 2 = 5000")), QStringList{"A2"});
    EXPECT_EQ(select(QStringLiteral("{chumnum.Amount1} / {chumnum.total_day} > 0")),
              (QStringList{"A1", "A2", "A'4"}));
    // Text takes no part in a calculation.
    QString sql;
    QVariantList binds;
    EXPECT_THROW(
        Formula::parse(QStringLiteral("{chumnum.Ku_name} * 2 > 1")).compile(resolver(), sql, binds),
        FormulaError);
    EXPECT_THROW(Formula::parse(QStringLiteral("{chumnum.Amount1} * 'x' > 1"))
                     .compile(resolver(), sql, binds),
                 FormulaError);
    EXPECT_EQ(errorPosition(QStringLiteral("{chumnum.Amount1} * > 1")), 21);
}

TEST_F(FormulaTest, ErrorsNameThePosition)
{
    EXPECT_EQ(errorPosition(QStringLiteral("{chumnum.Policy_no} = 'A1")), 23);
    EXPECT_EQ(errorPosition(QStringLiteral("{chumnum.Policy_no = 'A1'")), 1);
    EXPECT_EQ(errorPosition(QStringLiteral("{chumnum.Policy_no} = 'A1' and")), 31);
    EXPECT_EQ(errorPosition(QStringLiteral("{chumnum.Policy_no} 'A1'")), 21);
    EXPECT_EQ(errorPosition(QStringLiteral("{Policy_no} = 'A1'")), 1);
    EXPECT_EQ(errorPosition(QStringLiteral("{chumnum.L_returndate} < Date(2024,2,30)")), 31);
    EXPECT_EQ(errorPosition(QStringLiteral("{chumnum.Policy_no} = 'A1' ; drop")), 28);
    EXPECT_EQ(errorPosition(QStringLiteral("{chumnum.Ku_name} like 5")), 24);

    QString sql;
    QVariantList binds;
    try {
        Formula::parse(QStringLiteral("{chumnum.Amount1} > 'มาก'")).compile(resolver(), sql, binds);
        FAIL() << "compared money with text";
    } catch (const FormulaError& e) {
        EXPECT_EQ(e.position(), 21);
    }
    EXPECT_EQ(Formula::parse(QStringLiteral("{chumnum.A} = 1 and {x.y} = 2")).fields(),
              (QStringList{"chumnum.A", "x.y"}));
}

TEST_F(FormulaTest, HostileNestingAndChainsAreRefusedInThai)
{
    // 15,000 parentheses once overflowed the stack; now the 65th is refused.
    const QString deep =
        QString(15000, u'(') + QStringLiteral("{chumnum.A} = 1") + QString(15000, u')');
    EXPECT_EQ(errorPosition(deep), 65);
    EXPECT_EQ(errorPosition(QStringLiteral("not ").repeated(5000) + QStringLiteral("{chumnum.A}")),
              4 * 64 + 1);
    QStringList chain;
    for (int i = 0; i < 3000; ++i)
        chain << QStringLiteral("{chumnum.Amount1} = %1").arg(i);
    EXPECT_GT(errorPosition(chain.join(QStringLiteral(" and "))), 0);
    // What shops write still passes.
    EXPECT_NO_THROW(
        Formula::parse(QString(20, u'(') + QStringLiteral("{chumnum.A} = 1") + QString(20, u')')));
}

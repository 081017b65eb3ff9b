#include "customers/customer_form.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using customers::CustomerForm;
using customers::FilterChain;
using customers::FilterOp;
using platform::ScriptedPrompt;

namespace {

// Customers with a group, a province, a sex, an age and a birth date each.
class CustomerFilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        add("1", "สมชาย", "VIP", "ชลบุรี", "หญิง", 25, "1990-05-01");
        add("2", "O'Neil", "ทั่วไป", "ชลบุรี", "ชาย", 40, "1985-01-31");
        add("3", "มาลี สมศรี", "VIP", "ระยอง", "หญิง", 31, "");
        add("4", "วิชัย", "VIP", "ชลบุรี", "หญิง", 52, "1973-12-31");
    }
    void add(const char* code, const char* name, const char* group, const char* province,
             const char* sex, int age, const char* birthday)
    {
        customerDb.db->exec(
            QStringLiteral("INSERT INTO customer (C_code, C_name, class, C_Province, sex, C_age, "
                           "birthday, C_address) VALUES (?,?,?,?,?,?,?,?)"),
            {QString::fromUtf8(code), QString::fromUtf8(name), QString::fromUtf8(group),
             QString::fromUtf8(province), QString::fromUtf8(sex), age,
             *birthday ? QVariant(QString::fromLatin1(birthday)) : QVariant(),
             age > 30 ? QStringLiteral("9") : QString()});
    }
    std::unique_ptr<CustomerForm> form()
    {
        auto f = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
        f->open({});
        return f;
    }
    // The codes of the shown set, in set order.
    QStringList shown(CustomerForm& f)
    {
        QStringList codes;
        for (qsizetype i = 0; i < f.count(); ++i)
            codes << f.records()->valueAt(i, 1).toString();
        return codes;
    }
    int field(CustomerForm& f, const char* caption)
    {
        const auto fields = f.filter().fieldList();
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].caption == QString::fromUtf8(caption))
                return i;
        ADD_FAILURE() << caption;
        return 0;
    }

    test::TempDatabase customerDb{app::DatabaseRole::Customer};
    test::TempDatabase mainDb{app::DatabaseRole::Main};
    ScriptedPrompt prompt;
};

} // namespace

TEST_F(CustomerFilterTest, FindAnywhereInTheNameThenNextThenEndOfFile)
{
    auto f = form();
    f->finder().open();
    f->finder().fieldChosen(1); // "ชื่อ / บริษัท"
    f->finder().panel.key = QStringLiteral("สม");
    ASSERT_TRUE(f->finder().first());
    EXPECT_EQ(f->customer.code, QStringLiteral("3")); // highest code first
    ASSERT_TRUE(f->finder().next());
    EXPECT_EQ(f->customer.code, QStringLiteral("1"));
    EXPECT_FALSE(f->finder().next());
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("End Of File"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Not found"));
    EXPECT_FALSE(f->finder().next()); // past the end it says so again

    // Keys are values, never statement text.
    f->finder().panel.key = QStringLiteral("' or 1=1 --");
    EXPECT_FALSE(f->finder().first());
    f->finder().panel.key = QStringLiteral("O'N");
    ASSERT_TRUE(f->finder().first());
    EXPECT_EQ(f->customer.code, QStringLiteral("2"));
    f->finder().fieldChosen(8); // user4, a number
    f->finder().panel.key = QStringLiteral("สิบ");
    prompt.clear();
    EXPECT_FALSE(f->finder().first());
    EXPECT_EQ(prompt.messages().last().title, platform::Prompt::stopTitle());
}

TEST_F(CustomerFilterTest, SimpleFilterGivesTheSetAndTheFormula)
{
    auto f = form();
    f->filter().open();
    EXPECT_FALSE(f->commands().add); // the record commands wait for the panel
    f->filter().fieldChosen(field(*f, "กลุ่มลูกค้า"));
    EXPECT_EQ(f->filter().panel.values,
              (QStringList{QStringLiteral("ทั่วไป"), QStringLiteral("VIP")}));
    f->filter().panel.value = QStringLiteral("VIP");
    ASSERT_TRUE(f->filter().run());
    EXPECT_EQ(shown(*f), (QStringList{"4", "3", "1"}));
    EXPECT_EQ(f->filter().reportFilter(), QStringLiteral("{customer.Class}  =  'VIP'"));

    f->filter().fieldChosen(field(*f, "ชื่อ"));
    f->filter().cycleOp(), f->filter().cycleOp(), f->filter().cycleOp(),
        f->filter().cycleOp(); // = <> > < like
    ASSERT_EQ(f->filter().panel.op, FilterOp::Like);
    f->filter().panel.value = QStringLiteral("O'N");
    ASSERT_TRUE(f->filter().run());
    EXPECT_EQ(shown(*f), QStringList{"2"});
    EXPECT_EQ(f->filter().reportFilter(), QStringLiteral("{customer.C_name}  like '*O''N*' "));

    // "like" on a number is refused, the set stays.
    f->filter().fieldChosen(field(*f, "อายุ"));
    EXPECT_FALSE(f->filter().run());
    EXPECT_EQ(shown(*f), QStringList{"2"});
    f->filter().cycleOp(), f->filter().cycleOp(), f->filter().cycleOp(); // = <> >
    f->filter().panel.value = QStringLiteral("30");
    ASSERT_TRUE(f->filter().run());
    EXPECT_EQ(shown(*f), (QStringList{"4", "3", "2"}));
    EXPECT_EQ(f->filter().reportFilter(), QStringLiteral("{customer.C_age}  >  30"));

    f->filter().fieldChosen(field(*f, "วันเกิด"));
    f->filter().cycleOp();                                  // <
    f->filter().panel.value = QStringLiteral("01/01/2529"); // 1986
    ASSERT_TRUE(f->filter().run());
    EXPECT_EQ(shown(*f), (QStringList{"4", "2"}));
    EXPECT_EQ(f->filter().reportFilter(), QStringLiteral("{customer.birthday}  <  date(1986,1,1)"));

    f->filter().fieldChosen(field(*f, "เฉพาะที่มีที่อยู่"));
    ASSERT_TRUE(f->filter().run());

    EXPECT_EQ(shown(*f), (QStringList{"4", "3", "2"}));
    f->filter().fieldChosen(field(*f, "ทั้งหมด"));
    ASSERT_TRUE(f->filter().run());
    EXPECT_EQ(f->count(), 4);
    EXPECT_EQ(f->filter().reportFilter(), QString());
}

TEST_F(CustomerFilterTest, AdvancedFilterChainsAndBeforeOr)
{
    auto f = form();
    f->filter().open();
    f->filter().toggleAdvanced();
    f->filter().fieldChosen(field(*f, "จังหวัด"));
    f->filter().panel.value = QStringLiteral("ชลบุรี");
    f->filter().addCondition();
    f->filter().addConnector(FilterChain::Connector::And);
    f->filter().fieldChosen(field(*f, "เพศ"));
    f->filter().panel.value = QStringLiteral("หญิง");
    f->filter().addCondition();
    EXPECT_EQ(f->filter().panel.chain.text(),
              QStringLiteral("C_Province  =  'ชลบุรี' AND Sex  =  'หญิง'"));
    f->filter().addConnector(FilterChain::Connector::Or);
    f->filter().fieldChosen(field(*f, "รหัสลูกค้า"));
    f->filter().panel.value = QStringLiteral("2");
    f->filter().addCondition();
    ASSERT_TRUE(f->filter().runAdvanced());
    EXPECT_EQ(shown(*f), (QStringList{"4", "2", "1"}));
    EXPECT_EQ(f->filter().reportFilter(),
              QStringLiteral("{customer.C_Province}  =  'ชลบุรี' AND {customer.Sex}  =  'หญิง' OR "
                             "{customer.C_code}  =  '2'"));

    // Connectors pressed twice do not make a condition: the set stays.
    f->filter().addConnector(FilterChain::Connector::And);
    f->filter().addConnector(FilterChain::Connector::Or);
    EXPECT_FALSE(f->filter().runAdvanced());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("เงื่อนไขอาจไม่ถูกต้อง"));
    EXPECT_EQ(f->count(), 3);
    f->filter().clearConditions();
    EXPECT_EQ(f->filter().panel.chain.text(), QString());
}

TEST_F(CustomerFilterTest, DeleteEveryShownTakesOnlyTheFilteredCustomers)
{
    auto f = form();
    f->filter().open();
    f->filter().fieldChosen(field(*f, "จังหวัด"));
    f->filter().panel.value = QStringLiteral("ระยอง");
    ASSERT_TRUE(f->filter().run());
    f->filter().close();
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    f->confirmDelete(true);
    EXPECT_EQ(customerDb.db->scalar(QStringLiteral("SELECT count(*) FROM customer")).toInt(), 3);
}

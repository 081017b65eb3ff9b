#include "customers/customer_form.h"
#include "customers/lookup_editors.h"
#include "mail_reading.h"
#include "platform/db/db_error.h"
#include "smtp_server.h"
#include "temp_home.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace tawela;
using customers::Customer;
using customers::CustomerForm;
using customers::CustomerStore;
using customers::Opening;
using customers::OpeningMode;
using platform::PromptAnswer;
using platform::ScriptedPrompt;

namespace {

const QDate Today(2025, 6, 15);

Customer bangkokCustomer()
{
    Customer c;
    c.address = QStringLiteral("99/1");
    c.moo = QStringLiteral("ม.4");
    c.soi = QStringLiteral("ซ.5");
    c.road = QStringLiteral("สุขุมวิท");
    c.tumbol = QStringLiteral("คลองตัน");
    c.ampor = QStringLiteral("คลองเตย");
    c.province = QStringLiteral("กรุงเทพมหานคร");
    c.zip = QStringLiteral("10110");
    c.cityCall = true;
    return c;
}

// A customer file (with the postal directory) and a main database, and a
// customer form over them.
class CustomerFormTest : public ::testing::Test {
protected:
    test::TempDatabase customerDb{app::DatabaseRole::Customer};
    test::TempDatabase mainDb{app::DatabaseRole::Main};
    ScriptedPrompt prompt;
    CustomerStore store{customerDb.db};

    std::unique_ptr<CustomerForm> openForm(const Opening& opening = {}, admin::Session session = {})
    {
        auto f = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, session, prompt);
        f->open(opening);
        return f;
    }
    // A customer stored as the contract screen's not-found question does.
    Customer stored(const QString& name, const QString& code = QString(),
                    const QString& id = QString())
    {
        Customer c;
        c.name = name;
        c.code = code;
        c.idNumber = id;
        return store.addBare(c);
    }
    QVariant column(qint64 id, const char* name)
    {
        return customerDb.db->scalar(QStringLiteral("SELECT ") + QLatin1String(name) +
                                         QStringLiteral(" FROM customer WHERE ID = ?"),
                                     {id});
    }
};

} // namespace

TEST(CustomerLines, AddressAndNameLinesWithAndWithoutBangkok)
{
    Customer c = bangkokCustomer();
    EXPECT_EQ(customers::addressLine1(c), QStringLiteral("99/1 ม.4"));
    EXPECT_EQ(customers::addressLine2(c), QStringLiteral("ซ.5  ถนนสุขุมวิท  แขวงคลองตัน"));
    EXPECT_EQ(customers::addressLine3(c), QStringLiteral("เขตคลองเตย  กรุงเทพมหานคร 10110"));
    c.ampor.clear(); // Bangkok without a district starts with the province
    EXPECT_EQ(customers::addressLine3(c), QStringLiteral("กรุงเทพมหานคร 10110"));

    Customer up;
    up.tumbol = QStringLiteral("บ้านสวน");
    up.ampor = QStringLiteral("เมือง");
    up.province = QStringLiteral("ชลบุรี");
    up.zip = QStringLiteral("20000");
    EXPECT_EQ(customers::addressLine2(up), QStringLiteral("ตำบลบ้านสวน"));
    EXPECT_EQ(customers::addressLine3(up), QStringLiteral("อำเภอเมือง  จ.ชลบุรี 20000"));

    Customer onlyProvince;
    onlyProvince.province = QStringLiteral("ชลบุรี");
    EXPECT_EQ(customers::addressLine1(onlyProvince), QString());
    EXPECT_EQ(customers::addressLine2(onlyProvince), QString());
    EXPECT_EQ(customers::addressLine3(onlyProvince), QStringLiteral("จ.ชลบุรี  "));

    Customer person;
    person.prename = QStringLiteral("นาย");
    person.name = QStringLiteral("สมชาย");
    person.sname = QStringLiteral("ใจดี");
    EXPECT_EQ(customers::displayNameLine(person), QStringLiteral("นายสมชาย ใจดี"));
    person.sex = QStringLiteral("oR"); // a juristic person in any letter case
    EXPECT_EQ(customers::displayNameLine(person), QStringLiteral("ใจดี นายสมชาย"));
}

TEST(CustomerLines, WhatTheContractScreenReceives)
{
    Customer c;
    c.code = QStringLiteral("15");
    c.fullAddress1 = QStringLiteral("1 ม.2");
    c.mobile = QStringLiteral("081");
    EXPECT_EQ(customers::cardOfFound(c, true).address, QStringLiteral("1 ม.2"));
    EXPECT_EQ(customers::cardOfFound(c, false).address, QStringLiteral("1 ม.2  "));
    EXPECT_EQ(customers::cardOfFound(c, true).phone, QStringLiteral(" , 081"));

    Customer picked = bangkokCustomer();
    picked.homePhone = QStringLiteral("02-1234567");
    const auto card = customers::cardOfPicked(picked);
    EXPECT_EQ(card.phone, QStringLiteral("02-1234567  "));
    EXPECT_EQ(card.address, QStringLiteral("99/1 ม.4 ซ.5  ถนนสุขุมวิท  แขวงคลองตัน เขตคลองเตย  "
                                           "กรุงเทพมหานคร 10110"));
}

TEST_F(CustomerFormTest, AddTakesItsNumberAsCodeAndSaveStoresTheDerivedColumns)
{
    auto f = openForm();
    ASSERT_TRUE(f->add());
    const qint64 id = f->customer.id;
    EXPECT_EQ(f->customer.code, QString::number(id));
    EXPECT_TRUE(f->commands().cancel);
    // Stored at once, as a bare record.
    EXPECT_EQ(column(id, "C_code").toString(), QString::number(id));

    EXPECT_EQ(f->save(Today), CustomerForm::Field::Name); // a customer needs a name
    Customer typed = bangkokCustomer();
    typed.id = id;
    typed.code = f->customer.code;
    typed.prename = QStringLiteral("นาย");
    typed.name = QStringLiteral("O'Neil");
    typed.sname = QStringLiteral("ร้าน'ดี'");
    f->customer = typed;
    f->birthText = QStringLiteral("15/06/2535"); // 1992, Buddhist era
    f->ageText.clear();
    prompt.clear();
    EXPECT_FALSE(f->save(Today));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Data Saved"));
    EXPECT_EQ(column(id, "birthday").toDate(), QDate(1992, 6, 15));
    EXPECT_EQ(column(id, "C_age").toInt(), 33);
    EXPECT_EQ(column(id, "month_birth").toString(), QStringLiteral("มิถุนายน"));
    EXPECT_EQ(column(id, "full_address2").toString(), QStringLiteral("ซ.5  ถนนสุขุมวิท  แขวงคลองตัน"));
    EXPECT_EQ(column(id, "spare2").toString(), QStringLiteral("นายO'Neil ร้าน'ดี'"));
    EXPECT_FALSE(f->unsaved());

    // A family name stored empty (not missing): found by the given name alone.
    Customer single;
    single.name = QStringLiteral("มานี");
    single.sname = QStringLiteral("");
    store.addBare(single);
    EXPECT_TRUE(store.byFullName(QStringLiteral("มานี")));

    // Found again by what the contract screen's searches type.
    EXPECT_EQ(store.byCode(QString::number(id))->name, QStringLiteral("O'Neil"));
    EXPECT_EQ(store.byFullName(QStringLiteral("O'Neil ร้าน'ดี'"))->id, id);

    // A birth date taken away: no age, no month.
    f->birthText.clear();
    f->save(Today);
    EXPECT_TRUE(column(id, "birthday").isNull());
    EXPECT_EQ(column(id, "C_age").toInt(), 0);
    EXPECT_EQ(column(id, "month_birth").toString(), QString());

    // A number someone typed as another customer's code is not given again.
    const qint64 next = column(id, "(SELECT max(ID) FROM customer)").toLongLong() + 1;
    stored(QStringLiteral("มานะ"), QString::number(next + 1));
    ASSERT_TRUE(f->add()) << prompt.lastText().toStdString();
    EXPECT_EQ(f->customer.id, next + 1);
    EXPECT_EQ(f->customer.code, QString::number(next + 2));
}

TEST_F(CustomerFormTest, SaveRefusesWhatWouldBeStoredWrongAndAsksAboutDoubtfulIds)
{
    stored(QStringLiteral("สมชาย"), QStringLiteral("A1"), QStringLiteral("1101700230708"));
    auto f = openForm();
    ASSERT_TRUE(f->add());
    const qint64 id = f->customer.id;
    f->customer.name = QStringLiteral("สมหญิง");

    f->customer.code = QStringLiteral("A1"); // another customer's code
    EXPECT_EQ(f->save(Today), CustomerForm::Field::Code);
    f->customer.code = QStringLiteral(" A1 "); // the same code with blanks around it
    EXPECT_EQ(f->save(Today), CustomerForm::Field::Code);
    f->customer.code = QStringLiteral(" A2 "); // kept, without its blanks (see below)

    // Longer than the column takes (a paste, an old file): said, cursor on it.
    f->customer.note = QString(2001, u'ก');
    EXPECT_EQ(f->save(Today), CustomerForm::Field::LongText);
    EXPECT_EQ(f->longTextColumn(), QStringLiteral("Note"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("บันทึกเพิ่มเติม ยาวเกิน 2,000 ตัวอักษร (มี 2,001 ตัวอักษร) "
                                                "กรุณาตัดให้สั้นลงก่อนจัดเก็บ"));
    f->customer.note.clear();
    Customer longName;
    longName.name = QString(5000, u'ส');
    EXPECT_THROW(store.addBare(longName), platform::db::DbError); // the contract screen's

    f->birthText = QStringLiteral("31/02/2530");
    EXPECT_EQ(f->save(Today), CustomerForm::Field::BirthDate);
    f->birthText.clear();
    f->user4Text = QStringLiteral("12x");
    EXPECT_EQ(f->save(Today), CustomerForm::Field::User4);
    f->user4Text = QStringLiteral("12.5");

    f->customer.idNumber = QStringLiteral("1101700230706"); // check digit fails
    prompt.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(f->save(Today), CustomerForm::Field::IdNumber);
    EXPECT_EQ(column(id, "C_code").toString(), QString::number(id)); // nothing stored

    f->customer.idNumber = QStringLiteral("1101700230708"); // the other customer's
    prompt.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(f->save(Today), CustomerForm::Field::IdNumber);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("เป็นของลูกค้าอื่นอยู่แล้ว")));
    prompt.queueAnswer(PromptAnswer::Yes);
    EXPECT_FALSE(f->save(Today));
    EXPECT_EQ(column(id, "C_code").toString(), QStringLiteral("A2"));
    EXPECT_EQ(store.byCode(QStringLiteral("A2"))->user4.value_or(platform::Decimal()).toString(),
              QStringLiteral("12.5"));
}

TEST_F(CustomerFormTest, NothingTypedIsLostWhenMovingOrCancelling)
{
    stored(QStringLiteral("ก"), QStringLiteral("1"));
    stored(QStringLiteral("ข"), QStringLiteral("2"));
    auto f = openForm();
    ASSERT_EQ(f->count(), 2);
    EXPECT_EQ(f->customer.code, QStringLiteral("2")); // highest code first
    EXPECT_EQ(f->positionText(), QStringLiteral("1/2"));

    f->customer.note = QStringLiteral("โทรก่อนมา");
    prompt.queueAnswer(PromptAnswer::No);
    ASSERT_TRUE(f->moveNext());
    EXPECT_EQ(store.byCode(QStringLiteral("2"))->note, QString());

    f->customer.note = QStringLiteral("ลูกค้าประจำ");
    prompt.queueAnswer(PromptAnswer::Yes);
    ASSERT_TRUE(f->movePrevious());
    EXPECT_EQ(store.byCode(QStringLiteral("1"))->note, QStringLiteral("ลูกค้าประจำ"));

    // "ยกเลิก" right after "เพิ่ม" takes the bare record away again.
    ASSERT_TRUE(f->add());
    const qint64 added = f->customer.id;
    f->cancelAdd();
    EXPECT_FALSE(column(added, "ID").isValid());
    EXPECT_EQ(f->count(), 2);

    // Codes that are numbers go by value: 10 is the highest.
    stored(QStringLiteral("ค"), QStringLiteral("10"));
    auto g = openForm();
    EXPECT_EQ(g->customer.code, QStringLiteral("10"));
    ASSERT_TRUE(g->moveNext());
    EXPECT_EQ(g->customer.code, QStringLiteral("2"));
    EXPECT_EQ(customers::shownText(QVariant(true)), QStringLiteral("ใช่"));
}

TEST_F(CustomerFormTest, ASaveOverACustomerChangedAtAnotherCounterIsRefused)
{
    const qint64 id = stored(QStringLiteral("สมชาย"), QStringLiteral("5")).id;
    // The other counter: its own connection to the same file.
    auto other = test::openAddress(test::addressOf(*customerDb.db));
    auto a = openForm();
    CustomerForm b(other, mainDb.db, {}, prompt);
    b.open({});

    b.customer.mobile = QStringLiteral("0811111111");
    EXPECT_FALSE(b.save(Today));
    a->customer.mobile = QStringLiteral("0822222222");
    prompt.clear();
    prompt.queueAnswer(PromptAnswer::No); // keep what was typed
    EXPECT_FALSE(a->save(Today));
    EXPECT_TRUE(prompt.messages().first().text.contains(QStringLiteral("แก้ไขจากเครื่องอื่น")));
    EXPECT_EQ(column(id, "C_MP").toString(), QStringLiteral("0811111111"));
    EXPECT_TRUE(a->unsaved());
    EXPECT_EQ(a->customer.mobile, QStringLiteral("0822222222"));

    prompt.queueAnswer(PromptAnswer::Yes); // the stored record instead
    a->save(Today);
    EXPECT_EQ(a->customer.mobile, QStringLiteral("0811111111"));
    EXPECT_FALSE(a->unsaved());
    a->customer.note = QStringLiteral("ลูกค้าประจำ");
    prompt.clear();
    EXPECT_FALSE(a->save(Today));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Data Saved"));
    EXPECT_EQ(column(id, "Note").toString(), QStringLiteral("ลูกค้าประจำ"));
    EXPECT_EQ(column(id, "row_version").toLongLong(), 2);

    // Deleted at the other counter: said, nothing stored anew.
    other->exec(QStringLiteral("DELETE FROM customer WHERE ID = ?"), {id});
    a->customer.note = QStringLiteral("โทรก่อนมา");
    prompt.clear();
    EXPECT_FALSE(a->save(Today));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ถูกลบจากเครื่องอื่น")));
    EXPECT_EQ(store.database()->scalar(QStringLiteral("SELECT count(*) FROM customer")).toInt(), 0);

    // Both counters add and give the new customer the same code: the second
    // is refused, with the cursor on the code.
    ASSERT_TRUE(a->add());
    b.open({});
    ASSERT_TRUE(b.add());
    for (CustomerForm* f : {a.get(), &b}) {
        f->customer.code = QStringLiteral("77");
        f->customer.name = QStringLiteral("มาลี");
    }
    EXPECT_FALSE(a->save(Today));
    EXPECT_EQ(b.save(Today), CustomerForm::Field::Code);
    EXPECT_EQ(store.database()
                  ->scalar(QStringLiteral("SELECT count(*) FROM customer WHERE C_code = '77'"))
                  .toInt(),
              1);
}

TEST_F(CustomerFormTest, DeleteOneAndEveryShownKeepOthers)
{
    // A file from before codes were given once holds 7 twice.
    customerDb.db->exec(QStringLiteral("DROP INDEX customer_c_code_once"));
    stored(QStringLiteral("ก"), QStringLiteral("7"));
    stored(QStringLiteral("ข"), QStringLiteral("7"));
    stored(QStringLiteral("ค"), QStringLiteral("8"));
    {
        auto f = openForm({OpeningMode::ByCode, QStringLiteral("7")});
        ASSERT_EQ(f->count(), 2);
        f->moveLast();
        f->confirmDelete(false); // the last: the one before becomes current
        EXPECT_EQ(prompt.lastText(), QStringLiteral("This Record Deleted"));
        ASSERT_TRUE(f->hasCurrent());
        EXPECT_EQ(f->positionText(), QStringLiteral("1/1"));
        f->confirmDelete(false); // the only one: nothing left
        EXPECT_FALSE(f->hasCurrent());
    }
    stored(QStringLiteral("ง"), QStringLiteral("9"));
    auto f = openForm({OpeningMode::ByCode, QStringLiteral("9")});
    prompt.queueAnswer(PromptAnswer::Yes);
    f->confirmDelete(true);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("All record deleted"));
    EXPECT_EQ(f->count(), 0);
    EXPECT_TRUE(store.byCode(QStringLiteral("8"))); // outside the shown set
}

TEST_F(CustomerFormTest, OpeningModesCaptionsAndRights)
{
    // Fewer than five rows rename only as many fields.
    customerDb.db->exec(QStringLiteral("DELETE FROM user_column"));
    customerDb.db->exec(
        QStringLiteral("INSERT INTO user_column (user_caption) VALUES ('อาชีพ'), ('ที่ทำงาน')"));
    auto none = openForm({OpeningMode::ById, QStringLiteral("x' OR '1'='1")});
    EXPECT_EQ(none->count(), 0);
    EXPECT_EQ(none->userCaptions.value(0), QStringLiteral("user1")); // empty set: defaults

    stored(QStringLiteral("O'Neil"));
    auto byName = openForm({OpeningMode::ByName, QStringLiteral("O'Neil")});
    ASSERT_EQ(byName->count(), 1);
    EXPECT_EQ(byName->userCaptions, (QStringList{QStringLiteral("อาชีพ"), QStringLiteral("ที่ทำงาน"),
                                                 QStringLiteral("user3"), QStringLiteral("user4"),
                                                 QStringLiteral("user5")}));

    admin::Session readOnly;
    readOnly.bk = QStringLiteral("อ่านอย่างเดียว");
    auto f = openForm({}, readOnly);
    const auto c = f->commands();
    EXPECT_FALSE(c.add || c.save || c.remove || c.exit || c.record || c.tools);
    f->customer.name = QStringLiteral("แก้");
    EXPECT_FALSE(f->add());
    f->save(Today);
    EXPECT_EQ(store.byFullName(QStringLiteral("O'Neil"))->name, QStringLiteral("O'Neil"));
}

TEST_F(CustomerFormTest, PickHandsTheShownCustomerBack)
{
    stored(QStringLiteral("สมชาย"), QStringLiteral("C9"));
    auto f = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
    std::optional<customers::CustomerCard> got;
    f->open({OpeningMode::Pick, {}}, [&](const customers::CustomerCard& c) { got = c; });
    EXPECT_TRUE(f->finder().panel.visible); // opens on the find panel, its first field chosen
    EXPECT_EQ(f->finder().panel.field, 0);
    f->customer.homePhone = QStringLiteral("02");
    prompt.queueAnswer(PromptAnswer::Yes); // the change is stored before it is handed
    ASSERT_TRUE(f->pick());
    ASSERT_TRUE(got);
    EXPECT_EQ(got->code, QStringLiteral("C9"));
    EXPECT_EQ(got->phone, QStringLiteral("02  "));
    EXPECT_FALSE(openForm()->pick()); // outside pick mode nothing is handed
}

TEST_F(CustomerFormTest, AddressListsFollowTheChoicesAndThePostalCode)
{
    customerDb.db->exec(
        QStringLiteral("INSERT INTO pre_name (pre_name, sex) VALUES ('นาง', 'หญิง'), ('คุณ', '')"));
    auto f = openForm();
    ASSERT_TRUE(f->add());
    f->titleChosen(QStringLiteral("นาง"));
    EXPECT_EQ(f->customer.sex, QStringLiteral("หญิง"));
    f->titleChosen(QStringLiteral("คุณ"));
    EXPECT_EQ(f->customer.sex, QString());
    f->titleChosen(QStringLiteral("ไม่มีแล้ว"));
    EXPECT_EQ(f->customer.sex, QString());

    f->address().provinceChosen(QStringLiteral("ขอนแก่น"));
    EXPECT_FALSE(f->customer.cityCall);
    EXPECT_TRUE(f->address().districts.contains(QStringLiteral("เมืองขอนแก่น")));
    f->address().allDistricts();
    f->address().districtChosen(QStringLiteral("เมืองขอนแก่น"));
    for (const auto& s : f->address().subDistricts)
        EXPECT_EQ(s.postCode.left(2), QStringLiteral("40")) << s.name.toStdString();
    f->address().subDistrictChosen(QStringLiteral("ในเมือง"));
    EXPECT_EQ(f->customer.zip, QStringLiteral("40000"));

    f->customer.zip = QStringLiteral("50200");
    f->address().postCodeEntered();
    EXPECT_EQ(f->customer.province, QStringLiteral("เชียงใหม่"));
    EXPECT_EQ(f->customer.ampor, QStringLiteral("เมืองเชียงใหม่"));
    f->address().provinceChosen(QStringLiteral("กรุงเทพมหานคร"));
    EXPECT_TRUE(f->customer.cityCall);
}

TEST_F(CustomerFormTest, AnAddressOfTwoPlacesIsNeverStored)
{
    auto f = openForm();
    ASSERT_TRUE(f->add());
    f->customer.name = QStringLiteral("สมศรี");
    const auto inBangkok = [&] {
        f->address().provinceChosen(QStringLiteral("กรุงเทพมหานคร"));
        f->address().districtChosen(QStringLiteral("คลองเตย"));
        f->address().subDistrictChosen(QStringLiteral("คลองตัน"));
        ASSERT_EQ(f->customer.zip, QStringLiteral("10110"));
    };
    inBangkok();
    // Another province: district, sub-district and postal code go with it.
    f->address().provinceChosen(QStringLiteral("ขอนแก่น"));
    EXPECT_EQ(f->customer.ampor, QString());
    EXPECT_EQ(f->customer.tumbol, QString());
    EXPECT_EQ(f->customer.zip, QString());
    // Another district: its sub-district and postal code go.
    inBangkok();
    f->address().districtChosen(QStringLiteral("บางรัก"));
    EXPECT_EQ(f->customer.tumbol, QString());
    EXPECT_EQ(f->customer.zip, QString());

    // Typed past the lists, each part that does not belong is refused by name.
    const qint64 id = f->customer.id;
    const struct {
        const char *province, *district, *subDistrict, *zip, *said;
        CustomerForm::Field field;
    } refused[] = {
        {"ขอนแก่น", "คลองเตย", "คลองตัน", "10110", "เขต/อำเภอ คลองเตย ไม่อยู่ในจังหวัด ขอนแก่น",
         CustomerForm::Field::District},
        {"กรุงเทพมหานคร", "บางรัก", "คลองตัน", "10110", "แขวง/ตำบล คลองตัน ไม่อยู่ในเขต/อำเภอ บางรัก",
         CustomerForm::Field::SubDistrict},
        {"กรุงเทพมหานคร", "คลองเตย", "คลองตัน", "40000", "รหัสไปรษณีย์ 40000 ไม่ใช่ของ",
         CustomerForm::Field::PostCode},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.said);
        f->customer.province = QString::fromUtf8(r.province);
        f->customer.ampor = QString::fromUtf8(r.district);
        f->customer.tumbol = QString::fromUtf8(r.subDistrict);
        f->customer.zip = QString::fromUtf8(r.zip);
        EXPECT_EQ(f->save(Today), r.field);
        EXPECT_TRUE(prompt.lastText().startsWith(QString::fromUtf8(r.said)))
            << prompt.lastText().toStdString();
        EXPECT_EQ(column(id, "C_Province").toString(), QString()); // nothing stored
    }
    // A place of the shop's own rows counts; one the directory does not know stays as typed.
    customerDb.db->exec(
        QStringLiteral("INSERT INTO Post_code (Province, District, Sub_district, "
                       "Post_code) VALUES ('ขอนแก่น', 'เมืองขอนแก่น', 'บ้านใหม่ของร้าน', '40999')"));
    f->customer.province = QStringLiteral("ขอนแก่น");
    f->customer.ampor = QStringLiteral("เมืองขอนแก่น");
    f->customer.tumbol = QStringLiteral("บ้านใหม่ของร้าน");
    f->customer.zip = QStringLiteral("40999");
    EXPECT_FALSE(f->save(Today)) << prompt.lastText().toStdString();
    f->customer.province = QStringLiteral("Penang");
    f->customer.ampor = QStringLiteral("George Town");
    EXPECT_FALSE(f->save(Today)) << prompt.lastText().toStdString();
    EXPECT_EQ(column(id, "C_Province").toString(), QStringLiteral("Penang"));
}

TEST_F(CustomerFormTest, YearlyAgeUpdateReachesTheWholeTable)
{
    const Customer a = stored(QStringLiteral("ก"), QStringLiteral("1"));
    const Customer b = stored(QStringLiteral("ข"), QStringLiteral("2"));
    customerDb.db->exec(QStringLiteral("UPDATE customer SET birthday = '1990-06-16', C_age = 1"));
    auto f = openForm({OpeningMode::ByCode, QStringLiteral("1")});
    ASSERT_TRUE(f->updateAllAges(Today));         // the screen closes afterwards
    EXPECT_EQ(column(a.id, "C_age").toInt(), 35); // a day short of the birthday
    EXPECT_EQ(column(b.id, "C_age").toInt(), 35); // not shown, updated all the same
    EXPECT_EQ(column(b.id, "month_birth").toString(), QStringLiteral("มิถุนายน"));
}

TEST_F(CustomerFormTest, NameListIsInThaiOrderAndLimited)
{
    for (const char* n : {"ใจดี", "จันทร์", "เกษม", "กมล", "ขวัญ"})
        stored(QString::fromUtf8(n));
    // Leading vowels do not lead: เกษม sorts among the ก, ใจดี after จันทร์.
    EXPECT_EQ(store.names(QString(), 10),
              (QStringList{QStringLiteral("กมล"), QStringLiteral("เกษม"), QStringLiteral("ขวัญ"),
                           QStringLiteral("จันทร์"), QStringLiteral("ใจดี")}));
    EXPECT_EQ(store.names(QStringLiteral("ใ"), 10), QStringList{QStringLiteral("ใจดี")});
    EXPECT_EQ(store.names(QString(), 2).size(), 2);
}

TEST_F(CustomerFormTest, PostalEditorNarrowsAndKeepsNewRowsInView)
{
    using customers::LookupEditorForm;
    LookupEditorForm editor(customerDb.db, LookupEditorForm::Kind::PostalCodes, prompt);
    EXPECT_EQ(editor.provinces.size(), 77);
    editor.provinceChosen(QStringLiteral("ตราด"));
    auto* model = editor.model();
    const int before = model->storedRows();
    ASSERT_GT(before, 0);
    ASSERT_LT(before, 100);
    // A row typed on the empty last line belongs to the chosen province.
    ASSERT_TRUE(model->setData(model->index(before, 4), QStringLiteral("ตำบลใหม่")));
    EXPECT_EQ(model->storedRows(), before + 1);
    // A postal code is five digits, nothing else.
    for (const char* typed : {"abcde", "1234", "123456"}) {
        EXPECT_FALSE(model->setData(model->index(before, 5), QString::fromUtf8(typed))) << typed;
        EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("รหัสไปรษณีย์ต้องเป็นตัวเลข 5 หลัก")));
    }
    EXPECT_TRUE(model->setData(model->index(before, 5), QStringLiteral("23001")));

    LookupEditorForm groups(customerDb.db, LookupEditorForm::Kind::Groups, prompt);
    groups.model()->setData(groups.model()->index(0, 0), QStringLiteral("ขาประจำ"));
    groups.model()->setData(groups.model()->index(1, 0), QStringLiteral("VIP"));
    EXPECT_EQ(openForm()->groups.last(), QStringLiteral("VIP")); // the newest last
}

TEST_F(CustomerFormTest, PicturesAndTheAttachmentAreSavedPathsAndMissingFilesAreSaid)
{
    const Customer c = stored(QStringLiteral("สมชาย"), QStringLiteral("C1"));
    auto f = openForm();
    QTemporaryDir pics;
    const QString jpg = pics.filePath(QStringLiteral("a.JPG"));
    const QString jpeg = pics.filePath(QStringLiteral("ภาพ บ้าน.jpeg"));
    for (const QString& file : {jpg, jpeg}) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    }
    f->files().picked(0, jpg);
    f->files().picked(0, std::nullopt); // a cancelled dialog keeps the path
    EXPECT_EQ(f->customer.image1, jpg);
    f->files().nameFromPath(0);
    EXPECT_EQ(f->customer.dtIm1, QStringLiteral("a.JPG"));
    EXPECT_EQ(f->files().view(0).kind, CustomerForm::FileView::Kind::FullScreen);
    f->files().picked(1, jpeg);
    EXPECT_EQ(f->files().view(1).kind, CustomerForm::FileView::Kind::Open); // not "JPG"
    // Name from path: only when the last part has the extension.
    f->customer.image3 = QStringLiteral("C:\\my.pics\\a");
    f->files().nameFromPath(2);
    EXPECT_TRUE(f->customer.dtIm3.isEmpty());
    f->customer.image3 = QStringLiteral("C:\\pics\\b.png");
    f->files().nameFromPath(2);
    EXPECT_EQ(f->customer.dtIm3, QStringLiteral("b.png"));
    EXPECT_EQ(f->files().view(2).kind, CustomerForm::FileView::Kind::Nothing);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ไม่พบแฟ้มรูปภาพ"));
    f->files().clear(2);
    EXPECT_TRUE(f->customer.image3.isEmpty());
    EXPECT_EQ(f->customer.dtIm3, QStringLiteral("-"));

    EXPECT_EQ(f->files().openAttachment().kind, CustomerForm::FileView::Kind::Nothing);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ไม่พบแฟ้ม Excel"));
    f->files().attachmentPicked(pics.filePath(QStringLiteral("gone.xlsx")));
    EXPECT_EQ(f->files().openAttachment().kind, CustomerForm::FileView::Kind::Nothing);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ไม่พบแฟ้มExcel"));
    f->files().attachmentNameFromPath();

    ASSERT_FALSE(f->save(Today));
    EXPECT_EQ(column(c.id, "image1").toString(), jpg);
    EXPECT_EQ(column(c.id, "dt_im1").toString(), QStringLiteral("a.JPG"));
    EXPECT_EQ(column(c.id, "dt_im3").toString(), QStringLiteral("-"));
    EXPECT_EQ(column(c.id, "Excel_name").toString(), QStringLiteral("gone.xlsx"));
}

TEST_F(CustomerFormTest, MailGoesToOneCustomerOrHiddenToEveryShownOne)
{
    test::SmtpServer server({{QStringLiteral("gone@example.com")}, {}, {}});
    if (!server.available())
        GTEST_SKIP() << server.why().toStdString();
    const auto withMail = [&](const QString& name, const QString& code, const QString& email) {
        Customer c;
        c.name = name;
        c.code = code;
        c.email = email;
        store.addBare(c);
    };
    withMail(QStringLiteral("ก"), QStringLiteral("C1"), QStringLiteral("anna@example.com"));
    withMail(QStringLiteral("ข"), QStringLiteral("C2"), QString());
    withMail(QStringLiteral("ค"), QStringLiteral("C3"), QStringLiteral("chai@example.com"));
    withMail(QStringLiteral("ง"), QStringLiteral("C4"), QStringLiteral("dao@example.com"));
    mainDb.db->exec(QStringLiteral("UPDATE config_setting SET company_name = 'ร้านทองดี'"));
    QTemporaryDir home;
    auto f = openForm();
    f->mail().use(home.filePath(QStringLiteral("mail.ini")));

    f->mail().toggle();
    EXPECT_EQ(f->mail().panel.to, QStringLiteral("dao@example.com")); // the customer shown (C4)
    EXPECT_FALSE(f->mail().send());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ตั้งค่าอีเมล")));
    platform::MailAccount account;
    account.server = QStringLiteral("127.0.0.1");
    account.port = 0;
    account.security = platform::MailSecurity::None;
    account.sender = QStringLiteral("shop@example.com");
    EXPECT_EQ(f->mail().storeAccount(account), platform::MailAccountProblem::Field::Port);
    account.port = server.port();
    // A login without encryption is asked about first.
    account.user = QStringLiteral("shop");
    account.password = QStringLiteral("ลับ");
    prompt.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(f->mail().storeAccount(account), platform::MailAccountProblem::Field::User);
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ไม่เข้ารหัส")));
    account.user.clear();
    account.password.clear();
    ASSERT_FALSE(f->mail().storeAccount(account));

    const QString file = home.filePath(QStringLiteral("รายการสินค้า.xlsx"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("PK");
    out.close();
    f->mail().panel.subject = QStringLiteral("สวัสดี");
    f->mail().panel.body = QStringLiteral("ข้อความ");
    f->mail().attachmentChosen(file);
    ASSERT_TRUE(f->mail().send()) << prompt.lastText().toStdString();
    EXPECT_EQ(prompt.lastText(), QStringLiteral("เมล์ ส่งเรียบร้อย"));
    EXPECT_FALSE(f->mail().panel.visible);

    // "All": the shown customers' addresses, kept out of the headers; an
    // address that is none and one the server refuses stop nobody else's.
    withMail(QStringLiteral("จ"), QStringLiteral("C5"), QStringLiteral("somchai at home"));
    withMail(QStringLiteral("ฉ"), QStringLiteral("C6"), QStringLiteral("gone@example.com"));
    f->open({});
    f->mail().toggle();
    f->mail().collectAllAddresses();
    EXPECT_EQ(
        f->mail().panel.to,
        QStringLiteral(";gone@example.com;dao@example.com;chai@example.com;anna@example.com"));
    f->mail().attachmentChosen(QString()); // a cancelled dialog: no attachment
    ASSERT_TRUE(f->mail().send()) << prompt.lastText().toStdString();
    EXPECT_EQ(prompt.lastText(),
              QStringLiteral("เมล์ ส่งเรียบร้อย\nไม่ได้ส่งถึงลูกค้า 1 ราย เพราะอีเมลที่เก็บไว้ไม่ถูกต้อง:\n"
                             "C5 จ (somchai at home)\nเครื่องแม่ข่ายไม่รับอีเมลถึง 1 ที่อยู่:\n"
                             "gone@example.com"));
    auto got = server.received();
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].recipients, QStringList{QStringLiteral("dao@example.com")});
    EXPECT_EQ(test::attachmentName(got[0].data), QStringLiteral("รายการสินค้า.xlsx"));
    // From the shop by its name.
    EXPECT_EQ(test::mailHeader(got[0].data, "From"),
              QByteArray("=?UTF-8?B?") + QStringLiteral("ร้านทองดี").toUtf8().toBase64() +
                  "?= <shop@example.com>");
    EXPECT_EQ(
        got[1].recipients,
        QStringList({QStringLiteral("shop@example.com"), QStringLiteral("dao@example.com"),
                     QStringLiteral("chai@example.com"), QStringLiteral("anna@example.com")}));
    EXPECT_EQ(test::mailHeader(got[1].data, "To"), QByteArray("shop@example.com"));
    // (names no Message-ID can end with: its token is hexadecimal)
    EXPECT_FALSE(got[1].data.contains("anna@example.com"));
    EXPECT_FALSE(got[1].data.contains("Content-Disposition"));

    // A refusal keeps the panel open with its texts and says the answer.
    f->mail().toggle();
    f->mail().panel.to = QStringLiteral("gone@example.com");
    EXPECT_FALSE(f->mail().send());
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("550")));
    EXPECT_TRUE(f->mail().panel.visible);
    EXPECT_EQ(f->mail().panel.subject, QStringLiteral("สวัสดี"));
    EXPECT_EQ(f->mail().panel.to, QStringLiteral("gone@example.com"));

    // "All" over customers without addresses leaves TO empty.
    auto none = openForm(Opening{OpeningMode::ByCode, QStringLiteral("C2")});
    none->mail().collectAllAddresses();
    EXPECT_TRUE(none->mail().panel.to.isEmpty());
    EXPECT_FALSE(none->mail().panel.everyone);
}

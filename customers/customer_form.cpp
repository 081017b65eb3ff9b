#include "customers/customer_form.h"

#include "admin/settings.h"
#include "customers/customer_export.h"
#include "platform/db/db_error.h"
#include "platform/db/transaction.h"
#include "text/thai_text.h"

#include <algorithm>

namespace tawela::customers {

using platform::PromptAnswer;
using platform::PromptButtons;
using platform::PromptIcon;
using platform::db::DbError;
using platform::db::Recordset;
using platform::db::Transaction;

namespace {

constexpr qint64 MaxAge = 150;

} // namespace

CustomerForm::CustomerForm(std::shared_ptr<platform::db::Database> customerDb,
                           std::shared_ptr<platform::db::Database> main, admin::Session session,
                           platform::Prompt& prompt)
    : m_main(std::move(main)), m_session(std::move(session)), m_prompt(prompt), m_store(customerDb),
      m_address(*this, customerDb)
{
    for (int i = 1; i <= 5; ++i)
        userCaptions << QStringLiteral("user") + QString::number(i);
}

void CustomerForm::open(const Opening& opening, PickHandler onPick)
{
    m_opening = opening;
    m_onPick = std::move(onPick);
    try {
        groups = m_store.groups();
        statuses = m_store.statuses();
        m_address.provinces = m_address.directory().provinces();
        titles.clear();
        for (const Title& t : m_store.titles())
            titles << t.title;
        m_records = std::make_unique<Recordset>(m_store.open(opening));
        if (!m_records->isEmpty())
            userCaptions = m_store.userCaptions();
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
    }
    loadCurrent();
    if (opening.mode == OpeningMode::ContractCustomer)
        m_history.toggle();
    // Picking for the contract screen starts with the find panel.
    if (opening.mode == OpeningMode::Pick) {
        m_find.panel.field = 0;
        m_find.open();
    }
}

qsizetype CustomerForm::count() const
{
    return m_records ? m_records->count() : 0;
}

qsizetype CustomerForm::position() const
{
    return m_current ? m_records->position() : -1;
}

QString CustomerForm::positionText() const
{
    return QString::number(position() + 1) + u'/' + QString::number(count());
}

CustomerForm::Shown CustomerForm::shownNow() const
{
    return {customer, birthText, ageText, user4Text, user5Text};
}

void CustomerForm::clearFields()
{
    customer = Customer{};
    birthText.clear();
    ageText.clear();
    user4Text.clear();
    user5Text.clear();
    m_address.clear();
}

void CustomerForm::loadCurrent()
{
    clearFields();
    m_current = m_records && !m_records->isEmpty() && !m_records->atStart() && !m_records->atEnd();
    if (m_current) {
        try {
            customer = readCustomer(*m_records);
            birthText = text::buddhistDateText(customer.birthday);
            ageText = QString::number(customer.age);
            user4Text = customer.user4 ? customer.user4->toString() : QString();
            user5Text = text::buddhistDateText(customer.user5);
            m_address.load(customer);
        } catch (const DbError& e) {
            m_prompt.plain(e.description());
        }
    }
    m_stored = shownNow();
}

bool CustomerForm::unsaved() const
{
    return m_current && !readOnly() && shownNow() != m_stored;
}

bool CustomerForm::close()
{
    if (!unsaved())
        return true;
    if (m_prompt.askYesNo(QStringLiteral("ข้อมูลลูกค้าที่แสดงอยู่ยังไม่ได้จัดเก็บ ต้องการจัดเก็บหรือไม่")))
        return !save().has_value() && !unsaved();
    return true;
}

bool CustomerForm::moveTo(qsizetype to)
{
    if (!m_records || m_records->isEmpty())
        return false;
    to = std::clamp<qsizetype>(to, 0, count() - 1);
    if (m_current && to == position())
        return true;
    if (!close())
        return false;
    m_addedId.reset();
    m_deleteAsked = false;
    try {
        m_records->moveTo(to);
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
    }
    loadCurrent();
    return true;
}

bool CustomerForm::showPerson(const QString& idNumber)
{
    if (!close())
        return false;
    bool found = false;
    try {
        m_records = std::make_unique<Recordset>(m_store.open(m_opening));
        if (!m_records->isEmpty()) {
            m_records->moveFirst();
            found =
                m_records->find(platform::db::Condition::equals(QStringLiteral("C_ID"), idNumber),
                                platform::db::FindStart::Current);
            if (!found)
                m_records->moveFirst();
        }
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
    }
    m_addedId.reset();
    m_deleteAsked = false;
    loadCurrent();
    return found;
}

void CustomerForm::failed(const DbError& e)
{
    m_prompt.show(platform::Prompt::errorTitle(),
                  QStringLiteral("ความผิดพลาด ") + QString::number(e.number()) + u'\r' +
                      e.description(),
                  PromptIcon::Critical, PromptButtons::Ok);
}

bool CustomerForm::add()
{
    if (readOnly() || !m_records)
        return false;
    if (!close())
        return false;
    try {
        m_addedId = m_store.addBare(Customer{}, m_records.get()).id;
    } catch (const DbError& e) {
        m_records->cancelEdit();
        failed(e);
        return false;
    }
    loadCurrent();
    return true;
}

void CustomerForm::cancelAdd()
{
    if (!m_addedId || !m_current || customer.id != *m_addedId)
        return;
    try {
        m_records->removeCurrent();
        m_addedId.reset();
        if (!m_records->isEmpty())
            m_records->moveLast();
    } catch (const DbError& e) {
        failed(e);
    }
    loadCurrent();
}

std::optional<CustomerForm::Field> CustomerForm::refused()
{
    if (customer.code.trimmed().isEmpty()) {
        m_prompt.stop(QStringLiteral("กรุณาใส่รหัสลูกค้า"));
        return Field::Code;
    }
    if (customer.name.trimmed().isEmpty()) {
        m_prompt.stop(QStringLiteral("กรุณาใส่ชื่อลูกค้า"));
        return Field::Name;
    }
    if (const auto t = firstTooLong(customer)) {
        m_prompt.stop(tooLongText(*t));
        m_longTextColumn = t->column.column;
        return Field::LongText;
    }
    if (!birthText.trimmed().isEmpty() && !text::parseBuddhistDate(birthText).isValid()) {
        m_prompt.stop(QStringLiteral("วันเกิดไม่ถูกต้อง ให้ใส่ วัน/เดือน/ปี พ.ศ. เช่น 15/08/2525"));
        return Field::BirthDate;
    }
    bool ok = true;
    const qint64 age = ageText.trimmed().isEmpty() ? 0 : ageText.trimmed().toLongLong(&ok);
    if (!ok || age < 0 || age > MaxAge) {
        m_prompt.stop(QStringLiteral("อายุต้องเป็นจำนวนปีเต็ม 0 ถึง 150"));
        return Field::Age;
    }
    if (!user4Text.trimmed().isEmpty() && !platform::Decimal::parse(user4Text.trimmed())) {
        m_prompt.stop(userCaptions.value(3) + QStringLiteral(" ต้องเป็นตัวเลข"));
        return Field::User4;
    }
    if (!user5Text.trimmed().isEmpty() && !text::parseBuddhistDate(user5Text).isValid()) {
        m_prompt.stop(userCaptions.value(4) +
                      QStringLiteral(" ต้องเป็นวันที่ วัน/เดือน/ปี พ.ศ. เช่น 15/08/2568"));
        return Field::User5;
    }
    if (const auto wrong = m_address.directory().mismatch(customer.province, customer.ampor,
                                                          customer.tumbol, customer.zip)) {
        m_prompt.stop(wrong->message);
        using Part = PostalDirectory::Mismatch::Part;
        return wrong->part == Part::District      ? Field::District
               : wrong->part == Part::SubDistrict ? Field::SubDistrict
                                                  : Field::PostCode;
    }
    if (m_store.codeTaken(customer.code, customer.id)) {
        m_prompt.stop(codeTakenText(customer.code));
        return Field::Code;
    }
    if (customer.idNumber.size() == 13 && !thaiIdValid(customer.idNumber) &&
        !m_prompt.askYesNo(QStringLiteral("เลขบัตรประชาชน ไม่ถูกต้อง ต้องการจัดเก็บหรือไม่")))
        return Field::IdNumber;
    if (!customer.idNumber.isEmpty() && m_store.idNumberTaken(customer.idNumber, customer.id) &&
        !m_prompt.askYesNo(QStringLiteral("เลขบัตรประชาชน ") + customer.idNumber +
                           QStringLiteral(" เป็นของลูกค้าอื่นอยู่แล้ว ต้องการจัดเก็บหรือไม่")))
        return Field::IdNumber;
    return std::nullopt;
}

std::optional<CustomerForm::Field> CustomerForm::save(const QDate& today)
{
    if (readOnly() || !m_current)
        return std::nullopt;
    customer.code = customer.code.trimmed();
    Customer c = customer;
    enum class Stale { No, Changed, Gone, CodeTaken } stale = Stale::No;
    try {
        if (auto field = refused())
            return field;
        c.birthday = text::parseBuddhistDate(birthText);
        c.age = ageText.trimmed().toLongLong();
        if (!c.birthday.isValid()) {
            c.age = 0;
            c.monthBirth.clear();
        } else if (ageText.trimmed().isEmpty() || c.monthBirth.isEmpty()) {
            deriveAge(c, today);
        }
        c.user4 = platform::Decimal::parse(user4Text.trimmed()); // none when empty
        c.user5 = text::parseBuddhistDate(user5Text);
        deriveLines(c);
        // Checked again with the row locked: another counter may have saved
        // this customer, or taken the code, since the screen read it.
        platform::db::Transaction t(*m_store.database());
        const std::optional<qint64> version = m_store.storedVersion(c.id);
        if (version != c.rowVersion) {
            stale = version ? Stale::Changed : Stale::Gone;
        } else if (m_store.codeTaken(c.code, c.id)) {
            stale = Stale::CodeTaken;
        } else {
            writeCustomer(*m_records, c);
            platform::db::raiseRowVersion(*m_records);
            m_records->store();
            t.commit();
        }
    } catch (const DbError& e) {
        m_records->cancelEdit();
        if (e.number() != platform::db::error_number::DuplicateKey) {
            m_prompt.plain(e.description());
            return std::nullopt;
        }
        stale = Stale::CodeTaken; // the code's index refused it
    }
    switch (stale) {
    case Stale::No:
        break;
    case Stale::CodeTaken:
        m_prompt.stop(codeTakenText(c.code));
        return Field::Code;
    case Stale::Changed:
        offerReload();
        return std::nullopt;
    case Stale::Gone:
        // Nothing left to save it over: the set is read again.
        m_prompt.stop(QStringLiteral("ลูกค้ารายนี้ถูกลบจากเครื่องอื่นไปแล้ว ข้อมูลที่แก้ไขยังไม่ถูกจัดเก็บ"));
        try {
            m_records->requery();
        } catch (const DbError& e) {
            m_prompt.plain(e.description());
        }
        m_addedId.reset();
        loadCurrent();
        return std::nullopt;
    }
    customer = c;
    m_addedId.reset();
    loadCurrent();
    m_prompt.plain(QStringLiteral("Data Saved"));
    return std::nullopt;
}

QString CustomerForm::codeTakenText(const QString& code)
{
    return QStringLiteral("รหัสลูกค้า ") + code + QStringLiteral(" เป็นของลูกค้าอื่นอยู่แล้ว กรุณาใช้รหัสอื่น");
}

void CustomerForm::offerReload()
{
    m_prompt.stop(QStringLiteral("ข้อมูลลูกค้ารายนี้ถูกแก้ไขจากเครื่องอื่น หลังจากที่เปิดดูบนเครื่องนี้ "
                                 "ข้อมูลที่แก้ไขบนเครื่องนี้ยังไม่ถูกจัดเก็บ"));
    if (!m_prompt.askYesNo(QStringLiteral("ต้องการเปิดข้อมูลลูกค้ารายนี้ขึ้นมาใหม่ตามที่จัดเก็บไว้หรือไม่ ?")))
        return;
    m_records->reread();
    loadCurrent();
}

void CustomerForm::confirmDelete(bool everyShown)
{
    if (readOnly() || !m_records)
        return;
    try {
        if (everyShown) {
            if (!m_prompt.askYesNo(QStringLiteral("คุณต้องการลบทุก record ที่แสดงอยู่ในตาราง")))
                return;
            m_store.removeAll(*m_records);
            m_prompt.show(QStringLiteral("Information"), QStringLiteral("All record deleted"),
                          PromptIcon::Information, PromptButtons::Ok);
        } else if (m_current) {
            m_records->removeCurrent();
            m_records->moveNext();
            if (m_records->atEnd() && !m_records->isEmpty())
                m_records->moveLast();
            m_prompt.show(QStringLiteral("Information"), QStringLiteral("This Record Deleted"),
                          PromptIcon::Information, PromptButtons::Ok);
        }
    } catch (const DbError& e) {
        failed(e);
    }
    m_deleteAsked = false;
    m_addedId.reset();
    loadCurrent();
}

void CustomerForm::checkIdNumber()
{
    if (customer.idNumber.size() != 13)
        m_prompt.plain(text::thaiIdLengthMessage());
    m_prompt.plain(thaiIdValid(customer.idNumber) ? QStringLiteral("เลขบัตรประชาชน ถูกต้อง")
                                                  : QStringLiteral("เลขบัตรประชาชน ไม่ถูกต้อง"));
}

void CustomerForm::titleChosen(const QString& title)
{
    customer.prename = title;
    try {
        customer.sex.clear();
        for (const Title& t : m_store.titles()) {
            if (t.title == title) {
                customer.sex = t.sex;
                break;
            }
        }
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
    }
}

void CustomerForm::birthDatePicked(const QDate& date, const QDate& today)
{
    birthText = text::buddhistDateText(date);
    customer.birthday = date;
    deriveAge(customer, today);
    ageText = QString::number(customer.age);
}

void CustomerForm::birthTextEntered(const QDate& today)
{
    const QDate date = text::parseBuddhistDate(birthText);
    if (!date.isValid())
        return;
    customer.birthday = date;
    deriveAge(customer, today);
    ageText = QString::number(customer.age);
}

void CustomerForm::user5Picked(const QDate& date)
{
    user5Text = text::buddhistDateText(date);
}

bool CustomerForm::updateAllAges(const QDate& today)
{
    if (readOnly() || !close())
        return false;
    try {
        m_store.updateAllAges(today);
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
        return false;
    }
    m_prompt.plain(QStringLiteral("ปรับปรุงอายุของทุกเร็คคอร์ดแล้ว"));
    return true;
}

void CustomerForm::correctAllAddresses()
{
    if (readOnly() || !m_records || !close())
        return;
    try {
        m_store.correctAddresses(*m_records);
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
    }
    loadCurrent();
}

bool CustomerForm::pick()
{
    if (m_opening.mode != OpeningMode::Pick || !m_current || !m_onPick)
        return false;
    if (!close()) // what is handed over is what is stored
        return false;
    m_onPick(cardOfPicked(customer));
    return true;
}

CustomerForm::Commands CustomerForm::commands() const
{
    Commands c;
    c.cancel = m_addedId.has_value() && m_current && customer.id == *m_addedId;
    c.pick = m_opening.mode == OpeningMode::Pick && m_current;
    c.idCard = m_session.idCardReaderEnabled;
    c.remove = c.save = m_current;
    c.exportOne = m_sheets.available() && m_current;
    c.exportAll = m_sheets.available() && count() > 0;
    c.reports = bool(m_reports.print);
    // An open find or filter panel keeps the record commands off.
    if (m_find.panel.visible || m_filter.panel.visible)
        c.add = c.remove = c.save = c.exit = c.exportOne = false;
    if (readOnly()) {
        c.add = c.remove = c.save = c.exit = c.cancel = false;
        c.tools = c.record = c.gridEditable = false;
    }
    return c;
}

namespace {

constexpr int ValueListLength = 50;

} // namespace

QStringList CustomerForm::columnValues(const QString& column, const QString& prefix) const
{
    try {
        return m_store.values(column, prefix, ValueListLength);
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
        return {};
    }
}

bool CustomerForm::showOnly(const platform::db::Condition& where, const QString& formula)
{
    if (!close())
        return false;
    try {
        auto records = std::make_unique<Recordset>(m_store.filtered(where));
        m_records = std::move(records);
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
        return false;
    }
    m_filter.keepReportFilter(formula);
    m_addedId.reset();
    m_deleteAsked = false;
    loadCurrent();
    return true;
}

} // namespace tawela::customers

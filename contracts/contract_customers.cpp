// The contract's customer and the goods pictures.
#include "contracts/contract_form.h"

#include "platform/db/db_error.h"

namespace tawela::contracts {

using customers::Customer;
using customers::OpeningMode;
using platform::PromptAnswer;
using platform::PromptButtons;
using platform::PromptIcon;
using platform::db::DbError;

namespace {

constexpr int NameListLength = 50;

} // namespace

void CustomerLookup::use(std::shared_ptr<platform::db::Database> customer, Opener open)
{
    m_customers =
        customer ? std::make_unique<customers::CustomerStore>(std::move(customer)) : nullptr;
    m_open = std::move(open);
}

void CustomerLookup::picked(const customers::CustomerCard& card)
{
    m_form.contract.kuCode = card.code;
    m_form.contract.kuName = card.name;
    m_form.contract.kuAge = card.age;
    m_form.contract.kuId = card.idNumber;
    m_form.contract.kuAddress = card.address;
    m_form.contract.kuMp = card.phone;
}

void CustomerLookup::fill(const std::optional<Customer>& found, bool byCode)
{
    if (found)
        picked(customers::cardOfFound(*found, byCode));
}

void CustomerLookup::addFoundMissing(Customer bare, OpeningMode mode, const QString& value)
{
    const Customer added = m_customers->addBare(std::move(bare));
    if (m_open)
        m_open({mode, mode == OpeningMode::ByCode ? added.code : value});
}

void CustomerLookup::find(OpeningMode mode)
{
    if (!m_customers)
        return;
    const bool byCode = mode == OpeningMode::ByCode;
    const QString key = byCode ? m_form.contract.kuCode : m_form.contract.kuId;
    try {
        const auto found = byCode ? m_customers->byCode(key) : m_customers->byIdNumber(key);
        if (found) {
            fill(found, byCode);
            return;
        }
        if (!m_form.m_prompt.askYesNo(QStringLiteral("ไม่พบรหัสลูกค้า ต้องการเพิ่มหรือไม่")))
            return;
        Customer bare;
        (byCode ? bare.code : bare.idNumber) = key;
        addFoundMissing(bare, mode, key);
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
    }
}

void CustomerLookup::refreshNameList()
{
    if (!m_customers || !m_nameListOpen)
        return;
    try {
        nameList = m_customers->names(m_form.contract.kuName, NameListLength);
    } catch (const DbError& e) {
        nameList.clear();
        m_form.m_prompt.plain(e.description());
    }
}

void CustomerLookup::nameSearchPressed()
{
    if (!m_customers)
        return;
    if (!m_nameListOpen) {
        m_nameListOpen = true;
        refreshNameList();
        return;
    }
    findNamed(m_form.contract.kuName, true);
}

void CustomerLookup::nameChosen(const QString& entry)
{
    findNamed(entry, false);
}

void CustomerLookup::findNamed(const QString& entry, bool askToAdd)
{
    try {
        const auto found = m_customers->byFullName(entry);
        if (found) {
            m_nameListOpen = false;
            fill(found, false);
            return;
        }
        if (!askToAdd)
            return;
        const bool add =
            m_form.m_prompt.show(QStringLiteral("การค้นหาไม่ต้องใส่คำนำหน้าชื่อ"),
                                 QStringLiteral("ไม่พบลูกค้า (* หากยังไม่ได้หาจาก ListBox "
                                                "ให้กลับไปหาจาก ListBox ก่อน *)  ต้องการเพิ่มหรือไม่"),
                                 PromptIcon::Question, PromptButtons::YesNo) == PromptAnswer::Yes;
        if (!add)
            return;
        m_nameListOpen = false;
        Customer bare;
        bare.name = entry;
        addFoundMissing(bare, OpeningMode::ByName, entry);
    } catch (const DbError& e) {
        m_form.m_prompt.plain(e.description());
    }
}

void CustomerLookup::openTable()
{
    if (m_open && m_form.commands().customerTable)
        m_open({OpeningMode::Pick, QString()});
}

namespace {

QString* slotPath(Contract& c, int slot)
{
    QString* paths[] = {&c.image1, &c.image2, &c.image3};
    return slot >= 0 && slot < 3 ? paths[slot] : nullptr;
}

QString* slotCaption(Contract& c, int slot)
{
    QString* captions[] = {&c.dtIm1, &c.dtIm2, &c.dtIm3};
    return slot >= 0 && slot < 3 ? captions[slot] : nullptr;
}

} // namespace

QString GoodsPictures::path(int slot) const
{
    const QString* p = slotPath(const_cast<Contract&>(m_form.contract), slot);
    return p ? *p : QString();
}

void GoodsPictures::picked(int slot, const std::optional<QString>& path)
{
    if (QString* p = slotPath(m_form.contract, slot); p && path)
        *p = *path;
}

void GoodsPictures::captured(int slot, const QString& path)
{
    if (QString* p = slotPath(m_form.contract, slot))
        *p = path;
    if (QString* c = slotCaption(m_form.contract, slot))
        *c = path;
}

void GoodsPictures::clear(int slot)
{
    if (QString* p = slotPath(m_form.contract, slot))
        p->clear();
    if (QString* c = slotCaption(m_form.contract, slot))
        *c = QStringLiteral("-");
}

void GoodsPictures::nameFromPath(int slot)
{
    if (QString* p = slotPath(m_form.contract, slot))
        if (const auto name = customers::captionFromPath(*p))
            *slotCaption(m_form.contract, slot) = *name;
}

} // namespace tawela::contracts

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

void ContractForm::useCustomers(std::shared_ptr<platform::db::Database> customer,
                                CustomerOpener open)
{
    m_customers =
        customer ? std::make_unique<customers::CustomerStore>(std::move(customer)) : nullptr;
    m_openCustomers = std::move(open);
}

void ContractForm::customerPicked(const customers::CustomerCard& card)
{
    contract.kuCode = card.code;
    contract.kuName = card.name;
    contract.kuAge = card.age;
    contract.kuId = card.idNumber;
    contract.kuAddress = card.address;
    contract.kuMp = card.phone;
}

void ContractForm::fillCustomer(const std::optional<Customer>& found, bool byCode)
{
    if (found)
        customerPicked(customers::cardOfFound(*found, byCode));
}

void ContractForm::addFoundMissing(Customer bare, OpeningMode mode, const QString& value)
{
    const Customer added = m_customers->addBare(std::move(bare));
    if (m_openCustomers)
        m_openCustomers({mode, mode == OpeningMode::ByCode ? added.code : value});
}

void ContractForm::findCustomer(OpeningMode mode)
{
    if (!m_customers)
        return;
    const bool byCode = mode == OpeningMode::ByCode;
    const QString key = byCode ? contract.kuCode : contract.kuId;
    try {
        const auto found = byCode ? m_customers->byCode(key) : m_customers->byIdNumber(key);
        if (found) {
            fillCustomer(found, byCode);
            return;
        }
        if (!m_prompt.askYesNo(QStringLiteral("ไม่พบรหัสลูกค้า ต้องการเพิ่มหรือไม่")))
            return;
        Customer bare;
        (byCode ? bare.code : bare.idNumber) = key;
        addFoundMissing(bare, mode, key);
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
    }
}

void ContractForm::refreshNameList()
{
    if (!m_customers || !m_nameListOpen)
        return;
    try {
        nameList = m_customers->names(contract.kuName, NameListLength);
    } catch (const DbError& e) {
        nameList.clear();
        m_prompt.plain(e.description());
    }
}

void ContractForm::nameSearchPressed()
{
    if (!m_customers)
        return;
    if (!m_nameListOpen) {
        m_nameListOpen = true;
        refreshNameList();
        return;
    }
    findNamed(contract.kuName, true);
}

void ContractForm::customerNameChosen(const QString& entry)
{
    findNamed(entry, false);
}

void ContractForm::findNamed(const QString& entry, bool askToAdd)
{
    try {
        const auto found = m_customers->byFullName(entry);
        if (found) {
            m_nameListOpen = false;
            fillCustomer(found, false);
            return;
        }
        if (!askToAdd)
            return;
        const bool add =
            m_prompt.show(QStringLiteral("การค้นหาไม่ต้องใส่คำนำหน้าชื่อ"),
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
        m_prompt.plain(e.description());
    }
}

void ContractForm::openCustomerTable()
{
    if (m_openCustomers && commands().customerTable)
        m_openCustomers({OpeningMode::Pick, QString()});
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

QString ContractForm::picturePath(int slot) const
{
    const QString* p = slotPath(const_cast<Contract&>(contract), slot);
    return p ? *p : QString();
}

void ContractForm::picturePicked(int slot, const std::optional<QString>& path)
{
    if (QString* p = slotPath(contract, slot); p && path)
        *p = *path;
}

void ContractForm::pictureCaptured(int slot, const QString& path)
{
    if (QString* p = slotPath(contract, slot))
        *p = path;
    if (QString* c = slotCaption(contract, slot))
        *c = path;
}

void ContractForm::clearPicture(int slot)
{
    if (QString* p = slotPath(contract, slot))
        p->clear();
    if (QString* c = slotCaption(contract, slot))
        *c = QStringLiteral("-");
}

void ContractForm::pictureNameFromPath(int slot)
{
    if (QString* p = slotPath(contract, slot))
        if (const auto name = customers::captionFromPath(*p))
            *slotCaption(contract, slot) = *name;
}

} // namespace tawela::contracts

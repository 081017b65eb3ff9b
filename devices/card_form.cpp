#include "devices/card_form.h"

#include "customers/customer_store.h"
#include "platform/db/db_error.h"
#include "platform/db/recordset.h"
#include "platform/db/transaction.h"
#include "text/thai_text.h"

#include <QDir>
#include <QSaveFile>

namespace tawela::devices {

using platform::db::Condition;
using platform::db::DbError;
using platform::db::Recordset;

CardForm::CardForm(std::shared_ptr<platform::db::Database> customer, QString dataFolder,
                   platform::Prompt& prompt)
    : m_customer(std::move(customer)), m_dataFolder(std::move(dataFolder)), m_prompt(prompt)
{}

QString CardForm::pictureFile(const QString& idNumber) const
{
    return QDir(m_dataFolder)
        .filePath(QStringLiteral("Images/") + idNumber + QStringLiteral(".jpg"));
}

void CardForm::readFailed()
{
    m_card.reset();
    m_picture = QImage();
    m_storeAllowed = false;
    m_addNew = false;
}

void CardForm::cardRead(const IdCard& card, const QImage& picture, const QDate& today)
{
    readFailed();
    if (!card.hasPhoto())
        return;
    m_card = card;
    m_picture = picture;
    m_storeAllowed = true;
    try {
        Recordset found(m_customer, QStringLiteral("customer"),
                        Condition::equals(QStringLiteral("C_ID"), card.idNumber));
        if (found.isEmpty()) {
            if (!m_prompt.askYesNo(QStringLiteral("ไม่พบข้อมูลในฐานข้อมูล ต้องการจัดเก็บหรือไม่"))) {
                m_storeAllowed = false;
                return;
            }
            m_addNew = true;
            store(today);
            return;
        }
        const customers::Customer person = customers::readCustomer(found);
        // The card reader hands over the mobile number alone (the searches
        // of the contract screen join both numbers).
        customers::CustomerCard handed = customers::cardOfFound(person, false);
        handed.phone = person.mobile;
        if (m_handOver)
            m_handOver(handed, card.idNumber);
    } catch (const DbError& e) {
        m_prompt.error(e.description());
    }
}

bool CardForm::store(const QDate& today)
{
    if (!m_card || !m_storeAllowed)
        return false;
    const IdCard& k = *m_card;
    const bool bangkok = k.bangkok();
    try {
        platform::db::Transaction tx(*m_customer);
        Recordset row(m_customer, QStringLiteral("customer"),
                      Condition::equals(QStringLiteral("C_ID"), k.idNumber));
        if (row.isEmpty()) {
            row.addNew();
            customers::Customer bare;
            bare.idNumber = k.idNumber;
            customers::writeCustomer(row, bare);
            row.store();
            m_addNew = true;
        }
        customers::Customer c = customers::readCustomer(row);
        // A person new to the file gets their own row number as code.
        if (m_addNew)
            c.code = customers::CustomerStore(m_customer).ownCodeOf(c.id);
        c.idNumber = k.idNumber;
        c.prename = k.thaiTitle;
        c.name = k.thaiFirst;
        c.sname = k.thaiLast;
        c.birthday = birthDate(k);
        c.age = ageOn(k, today);
        c.monthBirth = c.birthday.isValid() ? text::thaiMonthName(c.birthday) : QString();
        c.sex = sexText(k);
        c.address = k.house;
        // Kept with its word, as the customer file writes it ("หมู่ 12"),
        // so the address lines made from it read right.
        const QString village =
            withoutPrefix(withoutPrefix(k.moo, QStringLiteral("หมู่ที่")), QStringLiteral("หมู่"))
                .trimmed();
        c.moo = village.isEmpty() ? QString() : QStringLiteral("หมู่ ") + village;
        c.soi = k.lane.isEmpty() ? k.soi : k.lane + u' ' + k.soi;
        c.soi = c.soi.trimmed();
        c.road = withoutPrefix(k.road, QStringLiteral("ถนน")).left(20);
        c.tumbol =
            withoutPrefix(withoutPrefix(k.tumbol, QStringLiteral("ตำบล")), QStringLiteral("แขวง"));
        c.ampor =
            withoutPrefix(withoutPrefix(k.ampur, QStringLiteral("อำเภอ")), QStringLiteral("เขต"));
        c.province = bangkok ? QStringLiteral("กรุงเทพมหานคร")
                             : withoutPrefix(k.province, QStringLiteral("จังหวัด"));
        c.cityCall = bangkok;
        c.image1 = pictureFile(k.idNumber);
        c.dtIm1 = QStringLiteral("รูปจากบัตรประชาชน");
        const QVariant zip = m_customer->scalar(
            QStringLiteral(
                "SELECT Post_code FROM Post_code WHERE District = ? AND Sub_district = ?"),
            {c.ampor, c.tumbol});
        if (zip.isValid() && !zip.toString().isEmpty())
            c.zip = zip.toString();
        customers::deriveLines(c);
        customers::refuseTooLong(c);

        // The card picture first: a row never names a file that is not there.
        if (!m_picture.isNull()) {
            QDir().mkpath(QDir(m_dataFolder).filePath(QStringLiteral("Images")));
            QSaveFile file(c.image1);
            if (!file.open(QIODevice::WriteOnly) || !m_picture.save(&file, "JPG", 90) ||
                !file.commit()) {
                m_prompt.error(QStringLiteral("บันทึกรูปบัตร %1 ไม่ได้ ยังไม่ได้จัดเก็บข้อมูล").arg(c.image1));
                return false;
            }
        }
        c.spare1 = addressText(k);
        customers::writeCustomer(row, c);
        platform::db::RowWriter writer{row};
        customers::mapCardAddressColumns(writer, c);
        platform::db::raiseRowVersion(row);
        row.store();
        tx.commit();

        m_prompt.information(QStringLiteral("Data Saved"));
        customers::CustomerCard card;
        card.code = c.code;
        card.name = k.thaiTitle + k.thaiFirst + u' ' + k.thaiLast;
        card.age = QString::number(c.age);
        card.idNumber = k.idNumber;
        card.address = addressText(k);
        if (m_handOver)
            m_handOver(card, k.idNumber);
        return true;
    } catch (const DbError& e) {
        m_prompt.error(QStringLiteral("จัดเก็บข้อมูลจากบัตรไม่ได้: ") + e.description());
        return false;
    }
}

} // namespace tawela::devices

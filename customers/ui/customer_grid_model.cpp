#include "customers/ui/customer_grid_model.h"

#include "platform/db/recordset.h"
#include "text/thai_text.h"

namespace tawela::customers {

CustomerGridModel::CustomerGridModel(const CustomerForm& form, QObject* parent)
    : QAbstractTableModel(parent), m_form(form), m_rows(form.count())
{}

const QStringList& CustomerGridModel::captions()
{
    static const QStringList c = {
        QStringLiteral("ID"),
        QStringLiteral("รหัสลูกค้า"),
        QStringLiteral("คำนำหน้า"),
        QStringLiteral("ชื่อ สกุล/บริษัท"),
        QStringLiteral("ชื่อเล่น/ชื่อติดต่อ"),
        QStringLiteral("วันเกิด"),
        QStringLiteral("อายุ"),
        QStringLiteral("เลขบัตร ปชช/TAX ID"),
        QStringLiteral("ที่อยุ่ เลขที่ หมู่ที่"),
        QStringLiteral("หมู่บ้าน/อาคาร"),
        QStringLiteral("ซอย"),
        QStringLiteral("ถนน"),
        QStringLiteral("แขวง/ตำบล"),
        QStringLiteral("เขต/อำเภอ"),
        QStringLiteral("จังหวัด"),
        QStringLiteral("มือถือ"),
        QStringLiteral("โทรศัพท์บ้าน"),
        QStringLiteral("โทรสาร"),
        QStringLiteral("user1"),
        QStringLiteral("user2"),
        QStringLiteral("user3"),
        QStringLiteral("user4"),
        QStringLiteral("user5"),
        QStringLiteral("email"),
        QStringLiteral("Note"),
        QStringLiteral("image1"),
        QStringLiteral("image2"),
        QStringLiteral("image3"),
        QStringLiteral("Excel_file"),
        QStringLiteral("dt_im1"),
        QStringLiteral("dt_im2"),
        QStringLiteral("dt_im3"),
        QStringLiteral("Excel_name"),
        QStringLiteral("รายได้"),
        QStringLiteral("อยู่กทม"),
        QStringLiteral("กลุ่ม"),
        QStringLiteral("เพศ"),
        QStringLiteral("การศึกษา"),
        QStringLiteral("สถานะแต่งงาน"),
        QStringLiteral("คู่สมรส"),
        QStringLiteral("คู่สมรส อาชีพ"),
        QStringLiteral("หมายเหต คู่สมรส "),
        QStringLiteral("Spare1"),
        QStringLiteral("spare2"),
        QStringLiteral("spare3"),
        QStringLiteral("Full_address1"),
        QStringLiteral("Full_address2"),
        QStringLiteral("รหัสไปรษณีย์"),
        QStringLiteral("เดือนเกิด"),
        QString(), // the points: carried by the spreadsheets only
    };
    return c;
}

void CustomerGridModel::refresh()
{
    if (m_rows != m_form.count()) {
        beginResetModel();
        m_rows = m_form.count();
        endResetModel();
    } else if (m_rows > 0) {
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows - 1), columnCount() - 1));
    }
}

int CustomerGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows);
}

int CustomerGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(captions().size());
}

QVariant CustomerGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || !m_form.records())
        return {};
    return shownText(m_form.records()->valueAt(index.row(), index.column()));
}

QVariant CustomerGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return captions().value(section);
    return QString::number(section + 1);
}

} // namespace tawela::customers

#include "contracts/rate_table_editors.h"

#include "contracts/rate_tables.h"
#include "platform/db/db_error.h"
#include "platform/decimal.h"

namespace tawela::contracts {

using platform::db::DbError;
using platform::db::TableModel;

RateTableEditorForm::RateTableEditorForm(std::shared_ptr<platform::db::Database> main, Kind kind,
                                         QString tableNo, admin::Right blacklistRight,
                                         platform::Prompt& prompt)
    : m_db(std::move(main)), m_kind(kind), m_tableNo(std::move(tableNo)),
      m_readOnly(blacklistRight == admin::Right::ReadOnly), m_prompt(prompt),
      m_title(kind == Kind::Interest ? QStringLiteral("ตาราง อัตราค่าธรรมเนียมฝาก")
                                     : QStringLiteral("ตาราง อัตราค่าธรรมเนียมส่วนลด"))
{}

QString RateTableEditorForm::note() const
{
    return m_kind == Kind::Interest ? QStringLiteral("ให้ใส่จำนวนวันจากน้อยไปหามาก")
                                    : QStringLiteral("ให้ใส่จำนวนวันจากมากไปหาน้อย");
}

bool RateTableEditorForm::open()
{
    const QString table = m_kind == Kind::Interest ? RateTables::feeTableName(m_tableNo)
                                                   : RateTables::deductTableName(m_tableNo);
    // A rate is a percentage a month, 0 to 100; days 1 to 9,999, each once
    // in the table (the lookups would pick either of two equal rows).
    const auto days = [this](const QVariant& v, int row) -> QString {
        const qlonglong n = v.toLongLong();
        if (n < 1 || n > 9999)
            return QStringLiteral("จำนวนวันต้องอยู่ระหว่าง 1 ถึง 9,999 วัน (พบ %1)").arg(n);
        for (int r = 0; r < m_model->storedRows(); ++r)
            if (r != row && m_model->value(r, 1).toLongLong() == n)
                return QStringLiteral("ตารางนี้มีแถว %1 วันอยู่แล้ว จำนวนวันต้องไม่ซ้ำกัน").arg(n);
        return {};
    };
    const auto rate = [](const QVariant& v, int) -> QString {
        const platform::Decimal d = v.value<platform::Decimal>();
        if (d.isNegative() || d > platform::Decimal::fromInt(100))
            return QStringLiteral("ค่าธรรมเนียมต้องอยู่ระหว่าง 0 ถึง 100 (ร้อยละต่อเดือน) (พบ %1)")
                .arg(d.toString());
        return {};
    };
    try {
        m_model = std::make_unique<TableModel>(
            m_db, table,
            QList<TableModel::Column>{
                {QStringLiteral("ID"), QStringLiteral("ID"), false},
                {QStringLiteral("duration"), QStringLiteral("จำนวนวัน"), true, days},
                {QStringLiteral("fee"), QStringLiteral("ค่าธรรมเนียม"), true, rate}},
            m_prompt);
        if (m_model->storedRows() == 0) {
            const bool interest = m_kind == Kind::Interest;
            m_model->appendRow(
                {{QStringLiteral("duration"), interest ? 30 : 10},
                 {QStringLiteral("fee"),
                  QVariant::fromValue(platform::Decimal::fromInt(interest ? 5 : 1))}});
        }
        m_model->setReadOnly(m_readOnly);
        if (m_kind == Kind::Interest) {
            m_title = QStringLiteral("อัตราดอกเบี้ย(ร้อยละ/เดือน) ที่ ") + m_tableNo;
            if (auto p = RateTables(m_db).period(m_tableNo))
                cycleText = QString::number(*p);
        } else {
            m_title = QStringLiteral("อัตราส่วนลด(ร้อยละ/เดือน) ที่ ") + m_tableNo;
        }
    } catch (const DbError& e) {
        m_model.reset();
        m_prompt.plain(e.description());
        return false;
    }
    return true;
}

bool RateTableEditorForm::close()
{
    if (m_kind != Kind::Interest || cycleText.trimmed().isEmpty())
        return true;
    bool ok = false;
    const qint64 days = cycleText.trimmed().toLongLong(&ok);
    if (!ok || days < 0) {
        m_prompt.plain(QStringLiteral("รอบในการรับฝากต้องเป็นจำนวนวันเต็ม (พบ \"") + cycleText +
                       QStringLiteral("\")"));
        return false;
    }
    try {
        RateTables(m_db).setPeriod(m_tableNo, days);
    } catch (const DbError& e) {
        m_prompt.plain(e.description());
        return false;
    }
    return true;
}

ProductGroupEditorForm::ProductGroupEditorForm(std::shared_ptr<platform::db::Database> main,
                                               platform::Prompt& prompt)
    : m_model(
          std::make_unique<TableModel>(std::move(main), QStringLiteral("chumnum_prod_group"),
                                       QList<TableModel::Column>{{QStringLiteral("prod_group"),
                                                                  QStringLiteral("กลุ่มสินค้าขายฝาก")}},
                                       prompt))
{}

} // namespace tawela::contracts

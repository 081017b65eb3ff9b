#include "reports/receipt_reprint.h"

#include "platform/db/condition.h"
#include "platform/db/db_error.h"

#include <QSqlQuery>

namespace tawela::reports {

using platform::ReportRequest;

QList<ReportRequest> reprintedReceipt(const admin::Settings& s, const QString& number,
                                      const QString& customerName)
{
    const QString kind = QStringLiteral("ใบเสร็จรับเงิน");
    const auto document = [&](const char* file, const QString& what) {
        ReportRequest r;
        r.file = QLatin1String(file);
        r.selection = platform::receiptSelection(number);
        r.values = {platform::customerNameValue(customerName)};
        r.kind = kind;
        r.name = what + u' ' + number;
        return r;
    };
    const QString again = QStringLiteral("ใบเสร็จรับเงิน (พิมพ์ซ้ำ)");
    const QString copy = QStringLiteral("ใบเสร็จรับเงิน (สำเนา พิมพ์ซ้ำ)");
    QList<ReportRequest> out;
    if (s.recvtaiCfg == QLatin1String("3")) {
        out << document(s.receptPrinterSize == 58 ? "recv_short58mm.rpt" : "recv_short.rpt", again);
        if (s.recvCopy)
            out << document("recv_short_copy.rpt", copy);
    } else {
        out << document("recv_1.rpt", again);
        if (s.recvCopy && s.recvtaiCfg == QLatin1String("2"))
            out << document("recv_1_copy.rpt", copy);
    }
    return out;
}

ReceiptReprintForm::ReceiptReprintForm(std::shared_ptr<platform::db::Database> main,
                                       platform::Prompt& prompt, Print print)
    : m_main(std::move(main)), m_prompt(prompt), m_print(std::move(print))
{}

void ReceiptReprintForm::refreshNumbers()
{
    QStringList latest;
    try {
        QSqlQuery q = m_main->exec(
            QStringLiteral("SELECT recv_no FROM service WHERE recv_no <> '' AND recv_no") +
                m_main->dialect().like() +
                QStringLiteral("? ESCAPE '\\' ORDER BY ID DESC LIMIT %1").arg(ListSize),
            {platform::db::likePrefixPattern(number.trimmed())});
        while (q.next())
            latest.prepend(q.value(0).toString());
    } catch (const platform::db::DbError& e) {
        m_prompt.plain(e.description());
    }
    numbers = latest;
}

bool ReceiptReprintForm::print()
{
    const QString no = number.trimmed();
    if (no.isEmpty()) {
        m_prompt.plain(QStringLiteral("เลือกเลขที่ใบเสร็จก่อน"));
        return false;
    }
    try {
        QSqlQuery q = m_main->exec(
            QStringLiteral("SELECT Ku_name FROM service WHERE recv_no = ? ORDER BY ID"), {no});
        if (!q.next()) {
            m_prompt.plain(QStringLiteral("ไม่พบใบเสร็จเลขที่ ") + no);
            return false;
        }
        const QString name = q.value(0).toString();
        const admin::Settings settings = admin::loadSettings(m_main);
        if (m_print)
            m_print(reprintedReceipt(settings, no, name));
        return true;
    } catch (const platform::db::DbError& e) {
        m_prompt.plain(e.description());
        return false;
    }
}

} // namespace tawela::reports

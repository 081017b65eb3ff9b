#include "customers/customer_reports.h"

namespace tawela::customers {

namespace {

QString quoted(QString text)
{
    return u'\'' + text.replace(QStringLiteral("'"), QStringLiteral("''")) + u'\'';
}

} // namespace

const QList<CustomerReportChoice>& customerReportChoices()
{
    using R = CustomerReport;
    static const QList<CustomerReportChoice> choices = {
        {R::NamesAddresses, QStringLiteral("ชื่อ ที่อยู่"), QStringLiteral("\\customer.rpt")},
        {R::Labels2, QStringLiteral("พิมพ์ลาเบล 2 ช่อง"), QStringLiteral("\\label2.rpt")},
        {R::NamesPhonesEmail, QStringLiteral("ชือ โทรศัพท์ E mail"),
         QStringLiteral("\\customer4.rpt")},
        {R::Names, QStringLiteral("ชื่อ"), QStringLiteral("\\customer2.rpt")},
        {R::Labels3, QStringLiteral("พิมพ์ลาเบล 3 ช่อง"), QStringLiteral("\\label3.rpt")},
        {R::Barcodes, QStringLiteral("Barcode รหัสลูกค้า"), QStringLiteral("\\barcode39.rpt")},
        {R::UserFields, QStringLiteral("ข้อมูลที่กำหนดเอง"), QStringLiteral("\\customer1.rpt")},
        {R::Profiles, QStringLiteral("Profile ลูกค้า"), QStringLiteral("\\customer3.rpt")},
        {R::SelectedProfile, QStringLiteral("Profile ลูกค้า ที่เลือก"),
         QStringLiteral("\\customer3.rpt")},
        {R::Csv, QStringLiteral("Export to CSV"), QStringLiteral("\\CSV.rpt")},
        {R::Envelopes, QStringLiteral("พิมพ์ซองจดหมาย"), QStringLiteral("\\envelop.rpt")},
    };
    return choices;
}

bool shiftsWithOffsets(CustomerReport report)
{
    return report == CustomerReport::Labels2 || report == CustomerReport::Labels3 ||
           report == CustomerReport::Barcodes || report == CustomerReport::Envelopes;
}

platform::ReportRequest customerReportRequest(CustomerReport report,
                                              const QStringList& userCaptions,
                                              const QString& currentCode,
                                              const QString& reportFilter, double left, double top)
{
    platform::ReportRequest r;
    for (const CustomerReportChoice& c : customerReportChoices())
        if (c.report == report) {
            r.file = c.file;
            r.name = c.caption;
        }
    r.values = QStringList(5, QString());
    if (report == CustomerReport::UserFields)
        for (qsizetype i = 0; i < userCaptions.size(); ++i) {
            const QString value = QStringLiteral("u%1c = ").arg(i + 1) + quoted(userCaptions[i]);
            if (i < r.values.size())
                r.values[i] = value;
            else
                r.values << value;
        }
    if (report == CustomerReport::SelectedProfile)
        r.selection = QStringLiteral("{Customer.C_Code} = ") + quoted(currentCode);
    r.filter = reportFilter;
    if (shiftsWithOffsets(report)) {
        r.shiftLeft = left;
        r.shiftTop = top;
    }
    return r;
}

} // namespace tawela::customers

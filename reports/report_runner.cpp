#include "reports/report_runner.h"

#include "platform/db/db_error.h"

#include <QDir>

namespace tawela::reports {

ReportRunner::ReportRunner(QString dataFolder, std::shared_ptr<platform::db::Database> main,
                           std::shared_ptr<platform::db::Database> customer)
    : m_dataFolder(std::move(dataFolder)), m_main(std::move(main)), m_customer(std::move(customer))
{
    if (!m_dataFolder.endsWith(u'/'))
        m_dataFolder += u'/';
}

QString ReportRunner::definitionPath(const QString& file) const
{
    QString name = file;
    name.replace(u'\\', u'/');
    while (name.startsWith(u'/'))
        name.remove(0, 1);
    return m_dataFolder + name;
}

ReportRunner::Loaded ReportRunner::load(const ReportRequest& request) const
{
    // A report is a file of the data folder, named as such: a name that
    // climbs out of it or into a folder is no report name.
    QString name = request.file;
    name.replace(u'\\', u'/');
    while (name.startsWith(u'/'))
        name.remove(0, 1);
    if (name.isEmpty() || name.contains(u'/') || name == QLatin1String("..") ||
        name == QLatin1String("."))
        throw ReportError(QStringLiteral("ชื่อแบบรายงาน \"") + request.file.left(80) +
                          QStringLiteral("\" ต้องเป็นชื่อแฟ้มในโฟลเดอร์ข้อมูล"));
    try {
        Loaded loaded{ReportDefinition::load(definitionPath(request.file)), {}};
        const auto db =
            loaded.definition.database == QLatin1String("customer") ? m_customer : m_main;
        if (!db)
            throw ReportError(QStringLiteral("ยังไม่ได้เปิดฐานข้อมูล"));
        loaded.rows = readReportRows(db, loaded.definition, Formula::parse(request.selection),
                                     Formula::parse(request.filter));
        return loaded;
    } catch (const DefinitionError& e) {
        throw ReportError(e.description());
    } catch (const FormulaError& e) {
        throw ReportError(e.description());
    } catch (const platform::db::DbError& e) {
        throw ReportError(e.description());
    }
}

LaidOutReport ReportRunner::build(const ReportRequest& request) const
{
    const Loaded loaded = load(request);
    LaidOutReport report =
        layoutReport(loaded.definition, loaded.rows, parseFormulaValues(request.values));
    if (request.shiftLeft != 0 || request.shiftTop != 0)
        shiftReport(report, request.shiftLeft, request.shiftTop);
    return report;
}

void ReportRunner::renderToCsv(const ReportRequest& request, const QString& csvPath) const
{
    const Loaded loaded = load(request);
    QString error;
    if (!writeCsv(loaded.definition, loaded.rows, parseFormulaValues(request.values), csvPath,
                  &error))
        throw ReportError(error);
}

void ReportRunner::renderToPdf(const ReportRequest& request, const QString& pdfPath) const
{
    const LaidOutReport report = build(request);
    QString error;
    if (!writePdf(report, pdfPath, &error))
        throw ReportError(error);
}

} // namespace tawela::reports

#pragma once

#include "platform/db/database.h"
#include "platform/error.h"
#include "platform/report_request.h"
#include "reports/report_engine.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

namespace tawela::reports {

// Why a report could not be made, in Thai, ready to show.
class ReportError : public platform::Error {
public:
    using Error::Error;
};

using ReportRequest = platform::ReportRequest;

// Finds the definition in the data folder, reads its rows from the main or
// the customer database and lays out the pages.
class ReportRunner {
public:
    // The report definitions of the data folder over the main and the
    // customer database (a definition names which it reads).
    ReportRunner(QString dataFolder, std::shared_ptr<platform::db::Database> main,
                 std::shared_ptr<platform::db::Database> customer);

    // The full path of a definition in the data folder.
    QString definitionPath(const QString& file) const;

    // Throws ReportError.
    LaidOutReport build(const ReportRequest& request) const;
    // Builds and writes a PDF; throws ReportError.
    void renderToPdf(const ReportRequest& request, const QString& pdfPath) const;
    // The detail lines as CSV (the "Export to CSV" report); throws ReportError.
    void renderToCsv(const ReportRequest& request, const QString& csvPath) const;

private:
    struct Loaded {
        ReportDefinition definition;
        QList<ReportRow> rows;
    };
    Loaded load(const ReportRequest& request) const;

    QString m_dataFolder;
    std::shared_ptr<platform::db::Database> m_main, m_customer;
};

} // namespace tawela::reports

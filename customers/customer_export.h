#pragma once

#include "customers/customer.h"
#include "platform/error.h"

#include <QString>
#include <QStringList>

namespace tawela::platform::db {
class Recordset;
}

namespace tawela::customers {

// The headings of sheet columns A … AW: table positions 1 … 49.
const QStringList& sheetHeadings();

// An export that could not be written; description() is for the person.
// `openElsewhere` says it was the work file still open in a spreadsheet program.
class ExportError : public platform::Error {
public:
    ExportError(const QString& description, bool openElsewhere = false)
        : Error(description), m_openElsewhere(openElsewhere)
    {}
    bool openElsewhere() const { return m_openElsewhere; }

private:
    bool m_openElsewhere;
};

// The work file of the exports in a folder: temp.xlsx.
QString exportFile(const QString& folder);

// "One2Excel": the record card of the customer as shown. Returns the file.
QString exportRecordCard(const Customer& shown, const QString& folder, const QString& fontName);
// "All2Excel": one row per customer of the set, in its order. Returns the file.
QString exportAll(const platform::db::Recordset& customers, const QString& folder,
                  const QString& fontName);

} // namespace tawela::customers

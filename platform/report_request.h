#pragma once

#include <QString>
#include <QStringList>

namespace tawela::platform {

// One report or document to draw, from the command that asks for it to the
// paper: the screens fill it, the report engine reads it, printing routes it.
struct ReportRequest {
    QString file;       // in the data folder: "recv_1.rpt" (a leading separator is allowed)
    QString selection;  // "{chumnum.Policy_no} = '…'", "{service.recv_no} = 'R15'"
    QStringList values; // formula values from index 0: "c_name ='…'", "head_title = '…'"
    QString kind;       // its Printer_tb row, whose printer and settings it goes to
    QString name;       // what the print queue shows: the document and its number
    QString filter;     // a second formula (the customer filter)
    // Millimetres everything moves right and down, to meet a sheet of
    // labels or an envelope the printer feeds a little off.
    double shiftLeft = 0, shiftTop = 0;
};

// A text inside a formula: in apostrophes, an apostrophe inside written
// twice, so that any number or name is safe.
inline QString formulaText(QString value)
{
    value.replace(u'\'', QStringLiteral("''"));
    return u'\'' + value + u'\'';
}
inline QString contractSelection(const QString& policyNo)
{
    return QStringLiteral("{chumnum.Policy_no} = ") + formulaText(policyNo);
}
inline QString receiptSelection(const QString& receiptNo)
{
    return QStringLiteral("{service.recv_no} = ") + formulaText(receiptNo);
}
// "c_name ='…'": the customer a receipt names.
inline QString customerNameValue(const QString& name)
{
    return QStringLiteral("c_name =") + formulaText(name);
}

} // namespace tawela::platform

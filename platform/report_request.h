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

} // namespace tawela::platform

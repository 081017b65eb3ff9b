#pragma once

#include "platform/report_request.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tawela::customers {

// The report panel's choices, in the order they are tested.
enum class CustomerReport {
    NamesAddresses,
    Labels2,
    NamesPhonesEmail,
    Names,
    Labels3,
    Barcodes,
    UserFields,
    Profiles,
    SelectedProfile,
    Csv,
    Envelopes
};

struct CustomerReportChoice {
    CustomerReport report;
    QString caption;
    QString file; // in the data folder
};
const QList<CustomerReportChoice>& customerReportChoices();

// Whether the offset boxes move this report (labels and envelopes, which
// must meet their sheets).
bool shiftsWithOffsets(CustomerReport report);

// The report call: the file, formula values u1c … u5c with the user-field
// captions for the shop's own fields, the current customer's selection for
// the selected profile, the last filter's formula as the filter, and the
// offsets (mm) for labels and envelopes. Texts are quoted the formula way.
platform::ReportRequest customerReportRequest(CustomerReport report,
                                              const QStringList& userCaptions,
                                              const QString& currentCode,
                                              const QString& reportFilter, double left = 0,
                                              double top = 0);

// Where the customer screen's reports go: printing or the preview, the
// CSV file, and the printer chosen for them.
struct ReportOutputs {
    std::function<void(const platform::ReportRequest&)> print;
    std::function<void(const platform::ReportRequest&)> exportCsv;
    std::function<void()> choosePrinter;
};

} // namespace tawela::customers

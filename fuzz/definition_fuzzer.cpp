// Report definitions are the shop's to edit: no text may crash the parser,
// and what it accepts has measures a page can be laid out with.
#include "reports/report_definition.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tawela::reports;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const ReportDefinition d = ReportDefinition::parse(text, QStringLiteral("fuzz.rpt"));
        if (!std::isfinite(d.pageWidth()) || d.pageWidth() <= 0)
            std::abort();
        for (const Band& b : d.bands)
            if (!std::isfinite(b.height) || b.height < 0)
                std::abort();
    } catch (const DefinitionError&) {
    }
    return 0;
}

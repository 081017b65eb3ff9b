// Selection and filter formulas come from report calls and shops' own
// definitions: no text may crash the parser or the compiler behind it.
#include "reports/formula.h"

#include <QString>

#include <cstddef>
#include <cstdint>

using namespace tawela::reports;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const Formula f = Formula::parse(text);
        QString sql;
        QVariantList binds;
        f.compile(
            [](const QString& table, const QString& column) {
                // Every field a money column, so comparisons of every kind run.
                return Formula::Field{table + u'.' + column, 2};
            },
            sql, binds);
    } catch (const FormulaError&) {
    }
    return 0;
}

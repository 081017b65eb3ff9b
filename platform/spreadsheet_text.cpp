#include "platform/spreadsheet_text.h"

#include "platform/decimal.h"

namespace tawela::platform {

QString spreadsheetSafe(const QString& cell)
{
    if (cell.isEmpty())
        return cell;
    const QChar first = cell.front();
    const bool formulaLike = first == u'=' || first == u'+' || first == u'-' || first == u'@' ||
                             first == u'\t' || first == u'\r' || first == u'\n';
    if (!formulaLike)
        return cell;
    if ((first == u'-' || first == u'+') && Decimal::parse(cell).has_value())
        return cell;
    return u'\'' + cell;
}

} // namespace tawela::platform

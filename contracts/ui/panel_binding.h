#pragma once

#include "contracts/contract_form.h"
#include "platform/ui/form_binding.h"

#include <QLineEdit>

#include <functional>

namespace tawela::contracts {

// A figure of a panel: checked as typed (too many decimals, too large are
// refused), then `changed` runs (the total follows the figures).
inline void bindFigure(platform::FormBinding& b, ContractForm& f, QLineEdit* field, QString& value,
                       std::function<void()> changed = {})
{
    b.text(
        field, [&value] { return value; },
        [&f, &value, changed](const QString& t) {
            if (!f.figureTyped(value, t))
                return false;
            if (changed)
                changed();
            return true;
        });
}

} // namespace tawela::contracts

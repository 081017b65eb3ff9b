#pragma once

#include "contracts/contract_form.h"
#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"
#include "platform/ui/thai_date_edit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <array>
#include <functional>

namespace tawela::contracts {

// A date field of a panel, with its control name and caption.
inline platform::ThaiDateEdit* captionedDate(const char* name, const QString& caption)
{
    auto* d = new platform::ThaiDateEdit;
    d->setObjectName(QLatin1String(name));
    return platform::ui::captioned(d, caption);
}

// The two columns of a panel's fields, under what the panel shows above them.
inline std::pair<QFormLayout*, QFormLayout*> twoColumns(QVBoxLayout* into)
{
    auto* cols = new QHBoxLayout;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    cols->addLayout(left);
    cols->addLayout(right);
    into->addLayout(cols);
    return {left, right};
}

// A date row of a panel's column.
inline platform::ThaiDateEdit* dateRow(QFormLayout* into, const char* name, const QString& caption)
{
    platform::ThaiDateEdit* d = captionedDate(name, caption);
    into->addRow(caption, d);
    return d;
}

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

// The renewal number, fee, penalty, discount and total of the renewal panel
// or of the correction panel.
struct RenewalFigureFields {
    QLineEdit *number = nullptr, *fee = nullptr, *penalty = nullptr, *discount = nullptr,
              *total = nullptr;
    QLineEdit* due = nullptr; // the new due date, where the panel has one
};
RenewalFigureFields renewalFigureFields(QFormLayout* into, const std::array<const char*, 5>& names);

// The total follows the three figures; every figure is checked as typed.
template <typename Panel>
void bindRenewalFigures(platform::FormBinding& b, ContractForm& f,
                        const RenewalFigureFields& fields, Panel& p)
{
    b.text(fields.number, p.renewalNo);
    const auto total = [&p] { p.recomputeTotal(); };
    bindFigure(b, f, fields.fee, p.fee, total);
    bindFigure(b, f, fields.penalty, p.penalty, total);
    bindFigure(b, f, fields.discount, p.discount, total);
    bindFigure(b, f, fields.total, p.total);
}

// The cursor on the figure the form refused; false when none was.
bool focusRefusedFigure(ContractForm& form, const RenewalFigureFields& fields);

} // namespace tawela::contracts

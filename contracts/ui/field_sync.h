#pragma once

#include "platform/ui/thai_date_edit.h"

#include <QLineEdit>

namespace tawela::contracts {

// Puts the form's value into a field. The field being typed in keeps what
// the person typed, and an unchanged value is not set again (which would
// move the cursor and fire the change signals).
inline void showText(QLineEdit* field, const QString& text)
{
    if (!field->hasFocus() && field->text() != text)
        field->setText(text);
}

inline void showDate(platform::ThaiDateEdit* field, const QDate& date)
{
    if (field->date() != date)
        field->setDate(date);
}

} // namespace tawela::contracts

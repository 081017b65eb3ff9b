#include "platform/ui/form_binding.h"

#include "platform/ui/thai_date_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace tawela::platform {

FormBinding::FormBinding(QObject* parent, std::function<void()> edited)
    : QObject(parent), m_edited(std::move(edited))
{}

FormBinding::SetText FormBinding::always(std::function<void(const QString&)> set)
{
    return [set = std::move(set)](const QString& t) {
        set(t);
        return true;
    };
}

void FormBinding::edited(QObject* source, bool accepted)
{
    // A refused text is replaced by the form's value like any other field.
    m_source = accepted ? source : nullptr;
    if (m_edited)
        m_edited();
    else
        show();
    m_source = nullptr;
}

void FormBinding::text(QLineEdit* field, Get<QString> get, SetText set)
{
    connect(field, &QLineEdit::textEdited, this,
            [this, field, set](const QString& t) { edited(field, set(t)); });
    m_shows.push_back([this, field, get] {
        const QString value = get();
        if (field != m_source && field->text() != value)
            field->setText(value);
    });
}

void FormBinding::text(QPlainTextEdit* field, Get<QString> get, SetText set)
{
    connect(field, &QPlainTextEdit::textChanged, this, [this, field, set] {
        if (!m_showing)
            edited(field, set(field->toPlainText()));
    });
    m_shows.push_back([this, field, get] {
        const QString value = get();
        if (field != m_source && field->toPlainText() != value) {
            field->setPlainText(value);
            field->moveCursor(QTextCursor::End);
        }
    });
}

void FormBinding::text(QComboBox* field, Get<QString> get, SetText set)
{
    if (field->isEditable()) {
        connect(field->lineEdit(), &QLineEdit::textEdited, this,
                [this, field, set](const QString& t) { edited(field, set(t)); });
        m_shows.push_back([this, field, get] {
            const QString value = get();
            if (field != m_source && field->currentText() != value)
                field->setEditText(value);
        });
        return;
    }
    connect(field, &QComboBox::currentTextChanged, this, [this, field, set](const QString& t) {
        if (!m_showing)
            edited(field, set(t));
    });
    m_shows.push_back([field, get] {
        const QString value = get();
        if (field->currentText() != value)
            field->setCurrentText(value);
    });
}

void FormBinding::check(QCheckBox* field, Get<bool> get, std::function<void(bool)> set)
{
    connect(field, &QCheckBox::toggled, this, [this, field, set](bool on) {
        if (m_showing)
            return;
        set(on);
        edited(field, true);
    });
    m_shows.push_back([field, get] {
        if (field->isChecked() != get())
            field->setChecked(get());
    });
}

void FormBinding::date(ThaiDateEdit* field, Get<QDate> get, std::function<void(const QDate&)> set)
{
    connect(field, &ThaiDateEdit::dateChanged, this, [this, field, set](const QDate& d) {
        if (m_showing)
            return;
        set(d);
        edited(field, true);
    });
    m_shows.push_back([this, field, get] {
        const QDate value = get();
        if (field != m_source && value.isValid() && field->date() != value)
            field->setDate(value);
    });
}

void FormBinding::show()
{
    const bool was = m_showing;
    m_showing = true;
    for (const auto& s : m_shows)
        s();
    m_showing = was;
}

} // namespace tawela::platform

#pragma once

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tawela::platform {

class ThaiDateEdit;

// Ties each widget of a screen to one value of its headless form, once.
// Every edit is written into the form at once, so the form always holds
// what the person typed and no command can redraw it away; show() puts
// every value of the form back into its widget. A setter that refuses the
// text (it returns false, having told the person why) gets the form's value
// shown again in its field.
class FormBinding : public QObject {
public:
    // Called after every accepted edit, so the screen can show what the
    // form's rules changed.
    explicit FormBinding(QObject* parent, std::function<void()> edited);

    template <typename T> using Get = std::function<T()>;
    using SetText = std::function<bool(const QString&)>;

    void text(QLineEdit* field, Get<QString> get, SetText set);
    void text(QPlainTextEdit* field, Get<QString> get, SetText set);
    // The edit text of an editable list, or the chosen entry of a fixed one.
    void text(QComboBox* field, Get<QString> get, SetText set);
    // A text of the form that takes whatever is typed.
    template <typename Field> void text(Field* field, QString& value)
    {
        text(
            field, [&value] { return value; }, always([&value](const QString& t) { value = t; }));
    }
    void check(QCheckBox* field, Get<bool> get, std::function<void(bool)> set);
    // Invalid dates (a text that is no date) reach the form as such; an
    // invalid date in the form leaves the field's text alone.
    void date(ThaiDateEdit* field, Get<QDate> get, std::function<void(const QDate&)> set);

    // Every widget from the form. The field whose edit is being handled
    // keeps its text (and its cursor) as typed.
    void show();
    bool showing() const { return m_showing; }

    // Plain setters that take every text.
    static SetText always(std::function<void(const QString&)> set);

private:
    void edited(QObject* source, bool accepted);

    std::function<void()> m_edited;
    std::vector<std::function<void()>> m_shows;
    QObject* m_source = nullptr;
    bool m_showing = false;
};

} // namespace tawela::platform

#pragma once

#include <QDate>
#include <QWidget>

class QLineEdit;
class QToolButton;
class QCalendarWidget;

namespace tawela::platform {

// The program's date field: shows and takes Buddhist-era years
// ("14/05/2568"), with a calendar that shows the same era. The date it
// holds is an ordinary date.
class ThaiDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit ThaiDateEdit(QWidget* parent = nullptr);

    // Invalid while the typed text is not a date.
    QDate date() const { return m_date; }
    void setDate(const QDate& date);
    QLineEdit* lineEdit() const { return m_edit; }
    // The calendar pop-up, made on first use.
    QCalendarWidget* calendar();
    void showCalendar();

Q_SIGNALS:
    void dateChanged(const QDate& date);

private:
    void textEdited(const QString& text);
    void showBuddhistYear();

    QLineEdit* m_edit;
    QToolButton* m_button;
    QCalendarWidget* m_calendar = nullptr;
    QDate m_date;
};

} // namespace tawela::platform

#include "platform/ui/thai_date_edit.h"

#include "text/thai_text.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace tawela::platform {

ThaiDateEdit::ThaiDateEdit(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_edit = new QLineEdit;
    m_edit->setObjectName(QStringLiteral("dateText"));
    m_edit->setPlaceholderText(QStringLiteral("วว/ดด/ปปปป"));
    m_edit->setMaxLength(10);
    m_button = new QToolButton;
    m_button->setObjectName(QStringLiteral("dateButton"));
    m_button->setText(QStringLiteral("..."));
    m_button->setToolTip(QStringLiteral("เลือกวันที่จากปฏิทิน"));
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textEdited, this, &ThaiDateEdit::textEdited);
    connect(m_button, &QToolButton::clicked, this, &ThaiDateEdit::showCalendar);
    setDate(QDate::currentDate());
}

void ThaiDateEdit::setDate(const QDate& date)
{
    const bool changed = date != m_date;
    m_date = date;
    m_edit->setText(text::buddhistDateText(date));
    m_edit->setStyleSheet(QString());
    if (changed)
        Q_EMIT dateChanged(m_date);
}

void ThaiDateEdit::textEdited(const QString& text)
{
    const QDate d = text::parseBuddhistDate(text);
    // A date still being typed shows in red until it is one.
    m_edit->setStyleSheet(d.isValid() ? QString() : QStringLiteral("color: #b00020"));
    if (d != m_date) {
        m_date = d;
        Q_EMIT dateChanged(m_date);
    }
}

QCalendarWidget* ThaiDateEdit::calendar()
{
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setWindowFlags(Qt::Popup);
        m_calendar->setObjectName(QStringLiteral("calendar"));
        m_calendar->setLocale(QLocale(QLocale::Thai, QLocale::Thailand));
        connect(m_calendar, &QCalendarWidget::clicked, this, [this](const QDate& d) {
            setDate(d);
            m_calendar->hide();
        });
        connect(m_calendar, &QCalendarWidget::currentPageChanged, this,
                &ThaiDateEdit::showBuddhistYear);
    }
    return m_calendar;
}

void ThaiDateEdit::showCalendar()
{
    QCalendarWidget* c = calendar();
    if (m_date.isValid())
        c->setSelectedDate(m_date);
    c->move(mapToGlobal(QPoint(0, height())));
    c->show();
    showBuddhistYear();
}

void ThaiDateEdit::showBuddhistYear()
{
    // The calendar's own year button counts in the Christian era; show the
    // Buddhist-era year in its place.
    if (auto* year = m_calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton")))
        year->setText(QString::number(text::buddhistYear(m_calendar->yearShown())));
}

} // namespace tawela::platform

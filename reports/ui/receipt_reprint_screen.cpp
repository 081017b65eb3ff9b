#include "reports/ui/receipt_reprint_screen.h"

#include "platform/ui/screen_parts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::reports {

ReceiptReprintScreen::ReceiptReprintScreen(std::unique_ptr<ReceiptReprintForm> form,
                                           QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    setObjectName(QStringLiteral("RollBack"));
    setWindowTitle(QStringLiteral("พิมพ์ใบเสร็จย้อนหลัง"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* v = new QVBoxLayout(this);
    auto* k = new QFormLayout;
    const QString caption = QStringLiteral("ใบเสร็จเลขที่");
    m_number = platform::ui::captioned(new QComboBox, caption);
    m_number->setObjectName(QStringLiteral("Combo1"));
    m_number->setEditable(true);
    m_number->setInsertPolicy(QComboBox::NoInsert);
    m_number->setMaxVisibleItems(20);
    m_number->setMinimumWidth(220);
    m_number->lineEdit()->setAccessibleName(caption);
    m_number->lineEdit()->setPlaceholderText(QStringLiteral("พิมพ์เลขที่ หรือเลือกจากรายการ"));
    k->addRow(caption, m_number);
    v->addLayout(k);
    QPushButton* print = platform::ui::button("Command2", QStringLiteral("Print"));
    QPushButton* exit = platform::ui::button("Command1", QStringLiteral("EXIT"));
    v->addLayout(platform::ui::rightAligned({print, exit}));

    connect(m_number->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) {
        m_form->number = t;
        m_form->refreshNumbers();
        showNumbers();
    });
    connect(m_number, &QComboBox::activated, this,
            [this](int i) { m_form->number = m_number->itemText(i); });
    connect(m_number->lineEdit(), &QLineEdit::returnPressed, print, &QPushButton::click);
    connect(print, &QPushButton::clicked, this, [this] { m_form->print(); });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    m_form->refreshNumbers();
    showNumbers();
}

void ReceiptReprintScreen::showNumbers()
{
    platform::ui::showItems(m_number, m_form->numbers);
    if (m_number->lineEdit()->text() != m_form->number)
        m_number->lineEdit()->setText(m_form->number);
}

} // namespace tawela::reports

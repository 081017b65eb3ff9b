#include "app/ui/setup_screen.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tawela::app {

SetupScreen::SetupScreen(SetupForm& form, QWidget* parent) : QDialog(parent), m_form(form)
{
    setObjectName(QStringLiteral("setup"));
    setWindowTitle(QStringLiteral("ตั้งค่าเริ่มต้นโปรแกรม Tawela"));
    auto* outer = new QVBoxLayout(this);
    m_pages = new QStackedWidget;
    outer->addWidget(m_pages);

    auto* entry = new QWidget;
    auto* layout = new QVBoxLayout(entry);
    auto* intro = new QLabel(QStringLiteral("ยินดีต้อนรับ กรุณาใส่ชื่อร้านและผู้ดูแลระบบ "
                                            "เพื่อเริ่มใช้งานโปรแกรมครั้งแรก"));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* shop = new QFormLayout;
    m_company = new QLineEdit;
    m_company->setObjectName(QStringLiteral("txtCompany"));
    shop->addRow(QStringLiteral("ชื่อบริษัท / ชื่อบุคคล"), m_company);
    layout->addLayout(shop);
    auto* admin = new QGroupBox(QStringLiteral("ผู้ดูแลระบบ (Admin)"));
    auto* adminForm = new QFormLayout(admin);
    m_code = new QLineEdit;
    m_code->setObjectName(QStringLiteral("txtCode"));
    m_name = new QLineEdit;
    m_name->setObjectName(QStringLiteral("txtName"));
    m_password = new QLineEdit;
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    adminForm->addRow(QStringLiteral("รหัสพนักงาน"), m_code);
    adminForm->addRow(QStringLiteral("ชื่อ-สกุล"), m_name);
    adminForm->addRow(QStringLiteral("รหัสผ่านที่ต้องการ"), m_password);
    layout->addWidget(admin);
    m_confirm = new QPushButton(QStringLiteral("ตกลง"));
    m_confirm->setObjectName(QStringLiteral("cmdOK"));
    m_confirm->setAutoDefault(false);
    layout->addWidget(m_confirm, 0, Qt::AlignRight);
    m_pages->addWidget(entry);

    auto* done = new QWidget;
    auto* doneLayout = new QVBoxLayout(done);
    auto* message = new QLabel(QStringLiteral("ตั้งค่าเริ่มต้นเรียบร้อยแล้ว\n"
                                              "กด ตกลง เพื่อเข้าสู่ระบบด้วยรหัสพนักงานที่ตั้งไว้"));
    message->setObjectName(QStringLiteral("lblCompleted"));
    message->setAlignment(Qt::AlignCenter);
    doneLayout->addStretch();
    doneLayout->addWidget(message);
    doneLayout->addStretch();
    auto* close = new QPushButton(QStringLiteral("ตกลง"));
    close->setObjectName(QStringLiteral("cmdDone"));
    doneLayout->addWidget(close, 0, Qt::AlignHCenter);
    m_pages->addWidget(done);

    // Enter moves through the fields in order.
    connect(m_company, &QLineEdit::returnPressed, m_code, qOverload<>(&QWidget::setFocus));
    connect(m_code, &QLineEdit::returnPressed, m_name, qOverload<>(&QWidget::setFocus));
    connect(m_name, &QLineEdit::returnPressed, m_password, qOverload<>(&QWidget::setFocus));
    connect(m_password, &QLineEdit::returnPressed, m_confirm, qOverload<>(&QWidget::setFocus));
    connect(m_confirm, &QPushButton::clicked, this, &SetupScreen::confirm);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    m_company->setFocus();
    resize(520, sizeHint().height());
}

void SetupScreen::confirm()
{
    m_form.companyName = m_company->text();
    m_form.employeeCode = m_code->text();
    m_form.employeeName = m_name->text();
    m_form.password = m_password->text();
    const bool ok = m_form.confirm();
    m_confirm->setEnabled(m_form.confirmEnabled());
    m_password->clear();
    if (ok)
        m_pages->setCurrentIndex(1);
    else if (m_form.refused() == SetupForm::Field::Code)
        m_code->setFocus();
    else if (m_form.refused() == SetupForm::Field::Password)
        m_password->setFocus();
}

} // namespace tawela::app

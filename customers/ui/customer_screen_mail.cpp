#include "customers/ui/customer_screen.h"

#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace tawela::customers {

using platform::FormBinding;
using platform::MailAccount;
using platform::MailSecurity;
using platform::ui::button;
using platform::ui::captioned;

namespace {

const QString SendCaption = QStringLiteral("ส่ง");

// The shop's mail account: server, port, protection, user, password (never
// shown: an empty box keeps the stored one) and the shop's address.
class MailSettingsDialog : public QDialog {
public:
    MailSettingsDialog(CustomerForm& form, const MailAccount& account, QWidget* parent)
        : QDialog(parent), m_form(form)
    {
        setObjectName(QStringLiteral("MailSettings"));
        setWindowTitle(QStringLiteral("ตั้งค่าบัญชีอีเมลของร้าน"));
        auto* k = new QFormLayout(this);
        m_server = platform::ui::lineRow(k, "txtServer", QStringLiteral("เครื่องแม่ข่าย (SMTP)"));
        m_server->setPlaceholderText(QStringLiteral("เช่น smtp.gmail.com"));
        m_port = captioned(new QSpinBox, QStringLiteral("พอร์ต"));
        m_port->setObjectName(QStringLiteral("txtPort"));
        m_port->setRange(0, 65535);
        k->addRow(QStringLiteral("พอร์ต"), m_port);
        m_security = captioned(new QComboBox, QStringLiteral("การเข้ารหัส"));
        m_security->setObjectName(QStringLiteral("cboSecurity"));
        m_security->addItem(QStringLiteral("STARTTLS (มักใช้พอร์ต 587)"), int(MailSecurity::StartTls));
        m_security->addItem(QStringLiteral("TLS/SSL (มักใช้พอร์ต 465)"), int(MailSecurity::Tls));
        m_security->addItem(QStringLiteral("ไม่เข้ารหัส (เครื่องในร้านเท่านั้น)"), int(MailSecurity::None));
        k->addRow(QStringLiteral("การเข้ารหัส"), m_security);
        m_user = platform::ui::lineRow(k, "txtUser", QStringLiteral("ชื่อผู้ใช้"));
        m_password = platform::ui::lineRow(k, "txtPassword", QStringLiteral("รหัสผ่าน"));
        m_password->setEchoMode(QLineEdit::Password);
        m_password->setPlaceholderText(QStringLiteral("เว้นว่างไว้ = ใช้รหัสผ่านเดิม"));
        m_sender = platform::ui::lineRow(k, "txtSender", QStringLiteral("อีเมลของร้าน (ผู้ส่ง)"));
        auto* buttons = new QDialogButtonBox;
        QPushButton* save =
            buttons->addButton(QStringLiteral("จัดเก็บ"), QDialogButtonBox::AcceptRole);
        save->setObjectName(QStringLiteral("cmdSaveMail"));
        buttons->addButton(QStringLiteral("ยกเลิก"), QDialogButtonBox::RejectRole);
        k->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &MailSettingsDialog::store);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        m_server->setText(account.server);
        m_port->setValue(account.port);
        m_security->setCurrentIndex(m_security->findData(int(account.security)));
        m_user->setText(account.user);
        m_sender->setText(account.sender);
        // The usual port follows the protection chosen, unless another was typed.
        connect(m_security, &QComboBox::activated, this, [this] {
            const int port = m_port->value();
            if (port == 587 || port == 465 || port == 25 || port == 0)
                m_port->setValue(
                    MailSecurity(m_security->currentData().toInt()) == MailSecurity::Tls ? 465
                                                                                         : 587);
        });
    }

private:
    void store()
    {
        MailAccount a;
        a.server = m_server->text().trimmed();
        a.port = m_port->value();
        a.security = MailSecurity(m_security->currentData().toInt());
        a.user = m_user->text().trimmed();
        a.password = m_password->text();
        a.sender = m_sender->text().trimmed();
        using F = platform::MailAccountProblem::Field;
        const auto refused = m_form.mail().storeAccount(a);
        if (!refused) {
            accept();
            return;
        }
        QWidget* field = m_server;
        if (*refused == F::Port)
            field = m_port;
        else if (*refused == F::User)
            field = m_user;
        else if (*refused == F::Sender)
            field = m_sender;
        field->setFocus();
    }

    CustomerForm& m_form;
    QLineEdit *m_server, *m_user, *m_password, *m_sender;
    QSpinBox* m_port;
    QComboBox* m_security;
};

} // namespace

QWidget* CustomerScreen::buildMailPanel()
{
    m_mail.panel = new QGroupBox(QStringLiteral("ส่งอีเมล์"));
    m_mail.panel->setObjectName(QStringLiteral("Frame_mail"));
    auto* k = new QFormLayout(m_mail.panel);
    m_mail.to = platform::ui::lineRow(k, "txtTo", QStringLiteral("TO :"));
    m_mail.cc = platform::ui::lineRow(k, "txtCc", QStringLiteral("CC :"));
    m_mail.subject = platform::ui::lineRow(k, "txtSubject", QStringLiteral("ชื่อเรื่อง :"));
    m_mail.body = captioned(new QPlainTextEdit, QStringLiteral("เนื้อหา :"));
    m_mail.body->setObjectName(QStringLiteral("txtBody"));
    m_mail.body->setMinimumHeight(90);
    k->addRow(QStringLiteral("เนื้อหา :"), m_mail.body);
    m_mail.attachment = captioned(new QLineEdit, QStringLiteral("ไฟล์แนบ"));
    m_mail.attachment->setObjectName(QStringLiteral("txtAttachment"));
    m_mail.attach = button("cmdAttach", QStringLiteral("ไฟล์แนบ"));
    auto* attachRow = new QHBoxLayout;
    attachRow->addWidget(m_mail.attachment, 1);
    attachRow->addWidget(m_mail.attach);
    auto* attachLabel = new QLabel(QStringLiteral("ไฟล์แนบ :"));
    attachLabel->setBuddy(m_mail.attachment);
    k->addRow(attachLabel, attachRow);
    m_mail.all = button("cmdAll", QStringLiteral("All"));
    m_mail.all->setToolTip(QStringLiteral("ส่ง email ถึงทั้งหมดในตาราง (กรองข้อมูลก่อนหากต้องการ)"));
    m_mail.send = button("cmdSend", SendCaption);
    m_mail.settings = button("cmdMailSettings", QStringLiteral("ตั้งค่าอีเมล"));
    k->addRow(platform::ui::rightAligned({m_mail.settings, m_mail.all, m_mail.send}));
    auto* note = new QLabel(QStringLiteral("***   โปรแกรมส่งเมลผ่านบัญชีอีเมลของร้าน "
                                           "ฉะนั้นคุณต้องตั้งค่าต่างๆให้ใช้งานได้ก่อน "
                                           "(ปุ่ม ตั้งค่าอีเมล)   ***"));
    note->setObjectName(QStringLiteral("lblMailNote"));
    note->setWordWrap(true);
    k->addRow(note);
    m_mail.panel->hide();
    return m_mail.panel;
}

void CustomerScreen::bindMail()
{
    CustomerForm::MailPanel& m = m_form->mail().panel;
    FormBinding& b = *m_binding;
    b.text(m_mail.to, m.to);
    b.text(m_mail.cc, m.cc);
    b.text(m_mail.subject, m.subject);
    b.text(m_mail.body, m.body);
    b.text(m_mail.attachment, m.attachment);
    connect(m_cmd.mail, &QPushButton::clicked, this, [this] {
        run([this] { m_form->mail().toggle(); });
        if (m_form->mail().panel.visible)
            m_mail.to->setFocus();
    });
    connect(m_mail.all, &QPushButton::clicked, this,
            [this] { run([this] { m_form->mail().collectAllAddresses(); }); });
    connect(m_mail.attach, &QPushButton::clicked, this, [this] {
        const std::optional<QString> path =
            chooseFile(QStringLiteral("ที่อยู่ของไฟล์แนบ"), {}, 0, m_form->mail().folder());
        run([this, path] { m_form->mail().attachmentChosen(path.value_or(QString())); });
    });
    connect(m_mail.send, &QPushButton::clicked, this, &CustomerScreen::sendMail);
    connect(m_mail.settings, &QPushButton::clicked, this, &CustomerScreen::openMailSettings);
}

void CustomerScreen::refreshMail()
{
    const CustomerForm::MailPanel& m = m_form->mail().panel;
    m_mail.panel->setVisible(m.visible);
    m_mail.send->setEnabled(!m.sending);
    m_mail.send->setText(m.sending ? QStringLiteral("กำลังส่ง…") : SendCaption);
}

void CustomerScreen::sendMail()
{
    std::optional<CustomerForm::MailJob> job = m_form->mail().prepare();
    refresh();
    if (!job)
        return;
    struct Outcome {
        std::optional<platform::MailFailure> failure;
        QStringList refused;
    };
    auto outcome = std::make_shared<Outcome>();
    QThread* thread = QThread::create([job = std::move(*job), outcome] {
        outcome->failure = platform::sendComposed(job.account, job.message, job.composed,
                                                  job.toMany() ? &outcome->refused : nullptr);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, outcome] {
        QApplication::restoreOverrideCursor();
        run([this, outcome] { m_form->mail().finished(outcome->failure, outcome->refused); });
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    thread->start();
}

void CustomerScreen::openMailSettings()
{
    const std::optional<MailAccount> account = m_form->mail().account();
    if (!account)
        return;
    MailSettingsDialog dialog(*m_form, *account, this);
    dialog.exec();
}

} // namespace tawela::customers

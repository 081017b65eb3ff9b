#include "customers/ui/customer_panel_views.h"

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

MailPanelView::MailPanelView(CustomerForm& form, FormBinding& binding, Runner run,
                             platform::ui::FileChooser choose)
    : QGroupBox(QStringLiteral("ส่งอีเมล์")), m_form(form), m_run(std::move(run)),
      m_choose(std::move(choose))
{
    setObjectName(QStringLiteral("Frame_mail"));
    auto* k = new QFormLayout(this);
    m_to = platform::ui::lineRow(k, "txtTo", QStringLiteral("TO :"));
    auto* cc = platform::ui::lineRow(k, "txtCc", QStringLiteral("CC :"));
    auto* subject = platform::ui::lineRow(k, "txtSubject", QStringLiteral("ชื่อเรื่อง :"));
    auto* body = captioned(new QPlainTextEdit, QStringLiteral("เนื้อหา :"));
    body->setObjectName(QStringLiteral("txtBody"));
    body->setMinimumHeight(90);
    k->addRow(QStringLiteral("เนื้อหา :"), body);
    auto* attachment = captioned(new QLineEdit, QStringLiteral("ไฟล์แนบ"));
    attachment->setObjectName(QStringLiteral("txtAttachment"));
    auto* attach = button("cmdAttach", QStringLiteral("ไฟล์แนบ"));
    platform::ui::captionedRow(k, QStringLiteral("ไฟล์แนบ :"), {attachment, attach});
    auto* all = button("cmdAll", QStringLiteral("All"));
    all->setToolTip(QStringLiteral("ส่ง email ถึงทั้งหมดในตาราง (กรองข้อมูลก่อนหากต้องการ)"));
    m_send = button("cmdSend", SendCaption);
    auto* settings = button("cmdMailSettings", QStringLiteral("ตั้งค่าอีเมล"));
    k->addRow(platform::ui::rightAligned({settings, all, m_send}));
    auto* note = new QLabel(QStringLiteral("***   โปรแกรมส่งเมลผ่านบัญชีอีเมลของร้าน "
                                           "ฉะนั้นคุณต้องตั้งค่าต่างๆให้ใช้งานได้ก่อน "
                                           "(ปุ่ม ตั้งค่าอีเมล)   ***"));
    note->setObjectName(QStringLiteral("lblMailNote"));
    note->setWordWrap(true);
    k->addRow(note);
    hide();

    CustomerForm::MailPanel& m = m_form.mail().panel;
    binding.text(m_to, m.to);
    binding.text(cc, m.cc);
    binding.text(subject, m.subject);
    binding.text(body, m.body);
    binding.text(attachment, m.attachment);
    connect(all, &QPushButton::clicked, this,
            [this] { m_run([this] { m_form.mail().collectAllAddresses(); }); });
    connect(attach, &QPushButton::clicked, this, [this] {
        const std::optional<QString> path =
            m_choose(QStringLiteral("ที่อยู่ของไฟล์แนบ"), {}, 0, m_form.mail().folder());
        m_run([this, path] { m_form.mail().attachmentChosen(path.value_or(QString())); });
    });
    connect(m_send, &QPushButton::clicked, this, &MailPanelView::send);
    connect(settings, &QPushButton::clicked, this, &MailPanelView::openSettings);
}

void MailPanelView::toggle()
{
    m_run([this] { m_form.mail().toggle(); });
    if (m_form.mail().panel.visible)
        m_to->setFocus();
}

void MailPanelView::refresh()
{
    const CustomerForm::MailPanel& m = m_form.mail().panel;
    setVisible(m.visible);
    m_send->setEnabled(!m.sending);
    m_send->setText(m.sending ? QStringLiteral("กำลังส่ง…") : SendCaption);
}

void MailPanelView::send()
{
    std::optional<CustomerForm::MailJob> job;
    m_run([this, &job] { job = m_form.mail().prepare(); });
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
        m_run([this, outcome] { m_form.mail().finished(outcome->failure, outcome->refused); });
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    thread->start();
}

void MailPanelView::openSettings()
{
    const std::optional<MailAccount> account = m_form.mail().account();
    if (!account)
        return;
    MailSettingsDialog dialog(m_form, *account, window());
    dialog.exec();
}

} // namespace tawela::customers

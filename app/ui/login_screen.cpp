#include "app/ui/login_screen.h"

#include "platform/ui/twips.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::app {

QImage loginBackground()
{
    QImage image(1600, 900, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 900);
    sky.setColorAt(0.0, QColor(0x1d, 0x2b, 0x53));
    sky.setColorAt(1.0, QColor(0x7e, 0x25, 0x53));
    p.fillRect(image.rect(), sky);
    // Rings of gold, the goods a shop holds most often.
    for (int i = 0; i < 7; ++i) {
        QPen pen(QColor(0xff, 0xd7, 0x00, 40 + i * 20), 10 + i * 2);
        p.setPen(pen);
        p.drawEllipse(QPointF(1180 + i * 30, 420 - i * 10), 260 - i * 25, 260 - i * 25);
    }
    p.setPen(QColor(0xff, 0xec, 0xb3));
    QFont title(QStringLiteral("Laksaman"), 96, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(90, 180, 900, 170), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tawela"));
    QFont subtitle(QStringLiteral("Laksaman"), 40);
    p.setFont(subtitle);
    p.drawText(QRect(96, 350, 1000, 100), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("ระบบงานขายฝาก"));
    return image;
}

LoginScreen::LoginScreen(SignInForm& form, QWidget* parent)
    : QWidget(parent), m_form(form), m_background(loginBackground())
{
    setObjectName(QStringLiteral("wellcome"));
    setWindowTitle(QStringLiteral("Authorize Screening"));

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("signInPanel"));
    m_panel->setFrameShape(QFrame::StyledPanel);
    m_panel->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(m_panel);
    auto* fields = new QFormLayout;
    m_code = new QLineEdit;
    m_code->setObjectName(QStringLiteral("txtCode"));
    m_password = new QLineEdit;
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    fields->addRow(QStringLiteral("รหัสพนักงาน"), m_code);
    fields->addRow(QStringLiteral("รหัสผ่าน"), m_password);
    layout->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_exit = new QPushButton(QStringLiteral("Exit"));
    m_exit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_exit);
    layout->addLayout(buttons);

    connect(m_code, &QLineEdit::textEdited, this, [this](const QString& t) { m_form.code = t; });
    connect(m_password, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_form.password = t; });
    connect(m_code, &QLineEdit::returnPressed, this, [this] {
        m_form.focus = SignInForm::Field::Code;
        handle(m_form.enterPressed());
    });
    connect(m_password, &QLineEdit::returnPressed, this, [this] {
        m_form.focus = SignInForm::Field::Password;
        handle(m_form.enterPressed());
    });
    connect(m_ok, &QPushButton::clicked, this, [this] { handle(m_form.signIn()); });
    connect(m_exit, &QPushButton::clicked, this, &LoginScreen::exitRequested);
    syncFromForm();
}

void LoginScreen::handle(SignInForm::Result result)
{
    syncFromForm();
    if (result == SignInForm::Result::SignedIn)
        Q_EMIT signedIn();
    else if (result == SignInForm::Result::Fatal)
        Q_EMIT fatalError();
}

void LoginScreen::syncFromForm()
{
    if (m_code->text() != m_form.code)
        m_code->setText(m_form.code);
    if (m_password->text() != m_form.password)
        m_password->setText(m_form.password);
    (m_form.focus == SignInForm::Field::Code ? m_code : m_password)->setFocus();
}

void LoginScreen::placePanel()
{
    m_panel->adjustSize();
    const int width = std::max(m_panel->sizeHint().width(), platform::twipsX(this, 4200));
    const int height = m_panel->sizeHint().height();
    const int bottom = this->height() - platform::twipsY(this, 1200);
    m_panel->setGeometry(this->width() / 2, std::max(0, bottom - height), width, height);
}

void LoginScreen::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePanel();
}

void LoginScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    placePanel();
    m_form.focus = SignInForm::Field::Code;
    syncFromForm();
}

bool LoginScreen::event(QEvent* event)
{
    // Coming back to the window (a message box closed) the cursor goes
    // where the form wants it: after a wrong password to the emptied
    // password field, never into the code field where the next try would
    // be typed in clear text.
    if (event->type() == QEvent::WindowActivate)
        (m_form.focus == SignInForm::Field::Code ? m_code : m_password)->setFocus();
    return QWidget::event(event);
}

void LoginScreen::closeEvent(QCloseEvent* event)
{
    // Closed by the window manager (Alt+F4, the title bar): the program
    // ends as "Exit" ends it, rather than run on without a window. Signing
    // in hides the window; that is no close.
    QWidget::closeEvent(event);
    Q_EMIT exitRequested();
}

void LoginScreen::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x1d, 0x2b, 0x53));
    // Stretched across the whole width and to the height less 600 twips.
    p.drawImage(QRect(0, 0, width(), std::max(0, height() - platform::twipsY(this, 600))),
                m_background);
}

} // namespace tawela::app

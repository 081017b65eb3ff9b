#include "app/ui/main_menu_window.h"

#include "platform/ui/twips.h"
#include "platform/version.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tawela::app {

namespace {

// Screens still to come show as entries that cannot be chosen yet.
const QString NotYet = QStringLiteral("ยังไม่เปิดให้ใช้งานในรุ่นนี้");

} // namespace

QWidget* makeAboutBox()
{
    auto* box = new QDialog;
    box->setObjectName(QStringLiteral("About"));
    box->setWindowTitle(QStringLiteral("เกี่ยวกับโปรแกรม"));
    auto* layout = new QVBoxLayout(box);
    auto* name = new QLabel(QStringLiteral("โปรแกรม ระบบงานขายฝาก Tawela2014 D4R1"));
    name->setObjectName(QStringLiteral("lblName"));
    QFont f = name->font();
    f.setPointSize(f.pointSize() + 3);
    f.setBold(true);
    name->setFont(f);
    auto* update = new QLabel(QStringLiteral("Latest update: 18 Oct, 2014"));
    update->setObjectName(QStringLiteral("lblUpdate"));
    auto* version = new QLabel(QStringLiteral("รุ่น ") + platform::versionText());
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    layout->addWidget(update, 0, Qt::AlignHCenter);
    layout->addWidget(version, 0, Qt::AlignHCenter);
    auto* back = new QPushButton(QStringLiteral("กลับเมนูหลัก"));
    back->setObjectName(QStringLiteral("cmdBack"));
    QObject::connect(back, &QPushButton::clicked, box, &QDialog::close);
    layout->addSpacing(12);
    layout->addWidget(back, 0, Qt::AlignHCenter);
    box->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        box->move(screen->availableGeometry().center() - box->rect().center());
    return box;
}

MainMenuWindow::MainMenuWindow(MainMenuForm& form, ScreenRegistry& screens, ScreenMakers makers,
                               QWidget* parent)
    : QMainWindow(parent), m_form(form), m_screens(screens)
{
    setObjectName(QStringLiteral("mainmenu"));
    setWindowTitle(QStringLiteral("โปรแกรมบริหารจัดการธุรกิจขายฝาก Tawela"));

    m_tools = menuBar()->addMenu(QStringLiteral("เครื่องมือ"));
    m_tools->setObjectName(QStringLiteral("mnu_tool"));
    auto addEntry = [this](const char* name, const QString& caption, bool available) {
        QAction* a = m_tools->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setEnabled(available);
        if (!available)
            a->setToolTip(NotYet);
        return a;
    };
    QAction* settings = addEntry("mnu_cfg", QStringLiteral("ค่าเริ่มต้น"), bool(makers.settings));
    connect(settings, &QAction::triggered, this,
            [this, make = makers.settings] { m_screens.open(QStringLiteral("set_config"), make); });
    QAction* groups = addEntry("table_prodgroup", QStringLiteral("ตารางกลุ่มสินค้าขายฝาก"),
                               bool(makers.productGroups));
    connect(groups, &QAction::triggered, this, [this, make = makers.productGroups] {
        m_screens.open(QStringLiteral("prodgroup_table"), make);
    });
    QAction* staff =
        addEntry("mnu_setlevel", QStringLiteral("จัดระดับการเข้าถืงข้อมูล"), bool(makers.staff));
    connect(staff, &QAction::triggered, this,
            [this, make = makers.staff] { m_screens.open(QStringLiteral("set_level"), make); });
    QAction* company = addEntry("mnu_company", QStringLiteral("ข้อมูลบริษัท"), bool(makers.company));
    connect(company, &QAction::triggered, this,
            [this, make = makers.company] { m_screens.open(QStringLiteral("Company"), make); });
    QAction* printers =
        addEntry("mnu_printer_select", QStringLiteral("เลือก Printer"), bool(makers.printers));
    connect(printers, &QAction::triggered, this,
            [this, make = makers.printers] { m_screens.open(QStringLiteral("Printer_tb"), make); });
    QAction* about = addEntry("mnu_about", QStringLiteral("เกี่ยวกับโปรแกรม"), true);
    connect(about, &QAction::triggered, this, &MainMenuWindow::showAbout);

    m_strip = new QWidget;
    auto* row = new QHBoxLayout(m_strip);
    m_contracts =
        addButton(QStringLiteral("Command11"), QStringLiteral("ขายฝาก"), bool(makers.contracts));
    if (makers.contracts)
        connect(m_contracts, &QPushButton::clicked, this, [this, make = makers.contracts] {
            m_screens.open(QStringLiteral("chumnum"), make);
        });
    const auto opens = [this](const char* name, const QString& caption, const char* screen,
                              const std::function<QWidget*()>& make) {
        QPushButton* b = addButton(QLatin1String(name), caption, bool(make));
        if (make)
            connect(b, &QPushButton::clicked, this,
                    [this, screen, make] { m_screens.open(QLatin1String(screen), make); });
    };
    opens("Command15", QStringLiteral("สรุปสัญญา"), "report_Sanya", makers.contractSummary);
    opens("Command5", QStringLiteral("สรุป รับ-จ่าย"), "print_sum", makers.moneySummary);
    m_customers =
        addButton(QStringLiteral("Command6"), QStringLiteral("ข้อมูลลูกค้า"), bool(makers.customers));
    if (makers.customers)
        connect(m_customers, &QPushButton::clicked, this, [this, make = makers.customers] {
            m_screens.open(QStringLiteral("customer"), make);
        });
    m_backup = makers.backup;
    opens("Command8", QStringLiteral("สำรองข้อมูล"), "Backup", makers.backup);
    for (QPushButton* b : m_strip->findChildren<QPushButton*>())
        row->addWidget(b);
    row->addStretch();
    // "ออก" keeps its own place near the right edge (see resizeEvent).
    m_exit = new QPushButton(QStringLiteral("ออก"), m_strip);
    m_exit->setObjectName(QStringLiteral("Command10"));
    connect(m_exit, &QPushButton::clicked, this, &MainMenuWindow::exitCommand);
    setCentralWidget(m_strip);

    move(0, 0);
    resize(platform::twipsX(this, 12930),
           std::max(platform::twipsY(this, 1695), sizeHint().height()));
    applyGating();
}

QPushButton* MainMenuWindow::addButton(const QString& objectName, const QString& caption,
                                       bool available)
{
    auto* b = new QPushButton(caption, m_strip);
    b->setObjectName(objectName);
    b->setMinimumHeight(platform::twipsY(this, 600));
    b->setProperty("available", available);
    b->setEnabled(available);
    if (!available)
        b->setToolTip(NotYet);
    return b;
}

void MainMenuWindow::applyGating()
{
    m_contracts->setEnabled(m_contracts->property("available").toBool() &&
                            m_form.contractsAllowed());
    m_customers->setEnabled(m_customers->property("available").toBool() &&
                            m_form.customersAllowed());
    if (!m_form.toolsAllowed())
        m_tools->setEnabled(false);
}

void MainMenuWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    const int left = m_strip->width() - platform::twipsX(this, 1500);
    m_exit->setGeometry(std::max(0, left), (m_strip->height() - platform::twipsY(this, 600)) / 2,
                        std::max(m_exit->sizeHint().width(), platform::twipsX(this, 1200)),
                        platform::twipsY(this, 600));
}

void MainMenuWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        applyGating();
}

void MainMenuWindow::closeEvent(QCloseEvent* event)
{
    // Closing the window any other way ends the program without the reminder.
    QMainWindow::closeEvent(event);
    QCoreApplication::quit();
}

void MainMenuWindow::showAbout()
{
    m_screens.open(QStringLiteral("About"), [] { return makeAboutBox(); });
}

void MainMenuWindow::exitCommand()
{
    if (m_form.exit() == MainMenuForm::ExitDecision::Quit) {
        Q_EMIT quitRequested();
        return;
    }
    // The backup comes first; the program ends when its screen closes.
    if (!m_backup)
        return;
    m_screens.open(QStringLiteral("Backup"), m_backup);
    QWidget* screen = m_screens.find(QStringLiteral("Backup"));
    if (screen && !m_quitAfterBackup) {
        m_quitAfterBackup = true;
        connect(screen, &QObject::destroyed, this, [this] { Q_EMIT quitRequested(); });
    }
}

} // namespace tawela::app

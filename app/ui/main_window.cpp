#include "app/ui/main_window.h"

#include "app/connections.h"
#include "app/settings.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::app {

namespace {

QString countOf(const platform::db::Database& db, const char* table)
{
    return QLocale(QLocale::Thai, QLocale::Thailand)
        .toString(
            db.scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)).toLongLong());
}

} // namespace

MainWindow::MainWindow(const Connections& connections, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("mainMenu"));
    setWindowTitle(QStringLiteral("Tawela"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    const Settings settings = loadSettings(connections.main());
    auto* shop = new QLabel(settings.companyName.isEmpty() ? QStringLiteral("Tawela")
                                                           : settings.companyName);
    shop->setObjectName(QStringLiteral("companyName"));
    QFont big = shop->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    shop->setFont(big);
    layout->addWidget(shop);

    auto* form = new QFormLayout;
    auto addCount = [&](const QString& caption, const QString& name, const QString& value) {
        auto* label = new QLabel(value);
        label->setObjectName(name);
        form->addRow(caption, label);
    };
    addCount(QStringLiteral("จำนวนสัญญา"), QStringLiteral("contractCount"),
             countOf(*connections.main(), "chumnum"));
    addCount(QStringLiteral("จำนวนลูกค้า"), QStringLiteral("customerCount"),
             countOf(*connections.customer(), "customer"));
    addCount(QStringLiteral("จำนวนใบเสร็จ"), QStringLiteral("receiptCount"),
             countOf(*connections.main(), "service"));
    layout->addLayout(form);
    layout->addStretch();

    auto* exit = new QPushButton(QStringLiteral("ออก"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QPushButton::clicked, this, &QMainWindow::close);
    layout->addWidget(exit, 0, Qt::AlignRight);

    setCentralWidget(central);
    resize(640, 400);
}

} // namespace tawela::app

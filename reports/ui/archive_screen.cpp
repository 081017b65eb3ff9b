#include "reports/ui/archive_screen.h"

#include "platform/ui/screen_parts.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::reports {

namespace {

QListWidget* numberList(const char* name, const QString& caption)
{
    auto* l = platform::ui::captioned(new QListWidget, caption);
    l->setObjectName(QLatin1String(name));
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setMinimumSize(200, 320);
    return l;
}

QList<int> selectedRows(const QListWidget* list)
{
    QList<int> rows;
    for (const QListWidgetItem* item : list->selectedItems())
        rows << list->row(item);
    return rows;
}

} // namespace

ArchiveScreen::ArchiveScreen(std::unique_ptr<ArchiveMoveForm> form, QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    const bool out = m_form->direction() == ContractArchive::Direction::ToArchive;
    setObjectName(out ? QStringLiteral("move_close") : QStringLiteral("move_back"));
    setWindowTitle(m_form->title());
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    m_source = numberList("List4", m_form->sourceCaption());
    m_chosen = numberList("List1", m_form->chosenCaption());
    auto* sourceLabel = new QLabel(m_form->sourceCaption());
    sourceLabel->setBuddy(m_source);
    auto* chosenLabel = new QLabel(m_form->chosenCaption());
    chosenLabel->setBuddy(m_chosen);
    QPushButton* select = platform::ui::button("Command3", QStringLiteral("Select"));
    select->setToolTip(QStringLiteral("ย้ายสัญญาที่เลือกไปรายการทางขวา"));
    QPushButton* giveBack = platform::ui::button("Command7", QStringLiteral("Return"));
    giveBack->setToolTip(QStringLiteral("คืนสัญญาที่เลือกกลับไปรายการทางซ้าย"));
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(select);
    middle->addWidget(giveBack);
    middle->addStretch(1);
    grid->addWidget(sourceLabel, 0, 0);
    grid->addWidget(chosenLabel, 0, 2);
    grid->addWidget(m_source, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_chosen, 1, 2);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setAccessibleName(QStringLiteral("ความคืบหน้าการย้ายสัญญา"));
    m_progress->hide();
    grid->addWidget(m_progress, 2, 0, 1, 3);
    QPushButton* moveButton = platform::ui::button("Command6", m_form->moveCaption());
    QPushButton* exit = platform::ui::button("Command4", QStringLiteral("ออก"));
    grid->addLayout(platform::ui::rightAligned({moveButton, exit}), 3, 0, 1, 3);

    connect(select, &QPushButton::clicked, this, [this] {
        m_form->select(selectedRows(m_source));
        showLists();
    });
    connect(giveBack, &QPushButton::clicked, this, [this] {
        m_form->giveBack(selectedRows(m_chosen));
        showLists();
    });
    connect(m_source, &QListWidget::itemDoubleClicked, select, &QPushButton::click);
    connect(m_chosen, &QListWidget::itemDoubleClicked, giveBack, &QPushButton::click);
    connect(moveButton, &QPushButton::clicked, this, &ArchiveScreen::move);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    m_form->open();
    showLists();
}

void ArchiveScreen::showLists()
{
    m_source->clear();
    m_source->addItems(m_form->source);
    m_chosen->clear();
    m_chosen->addItems(m_form->chosen);
}

void ArchiveScreen::move()
{
    m_progress->setRange(0, int(std::max<qsizetype>(1, m_form->chosen.size())));
    m_progress->setValue(0);
    m_progress->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool finished = m_form->move([this](int moved) {
        m_progress->setValue(moved);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    QApplication::restoreOverrideCursor();
    m_progress->hide();
    if (finished) {
        close();
        return;
    }
    showLists();
}

} // namespace tawela::reports

#include "contracts/ui/table_editor_screen.h"

#include "platform/ui/screen_parts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace tawela::contracts {

TableEditorScreen::TableEditorScreen(std::unique_ptr<RateTableEditorForm> form,
                                     platform::Prompt& prompt, QWidget* parent)
    : QWidget(parent), m_rateForm(std::move(form)), m_prompt(prompt)
{
    setObjectName(m_rateForm->hasCycle() ? QStringLiteral("Fee_table")
                                         : QStringLiteral("Deduct_table"));
    build(m_rateForm->model(), m_rateForm->title(), m_rateForm->note(), m_rateForm->hasCycle(),
          m_rateForm->readOnly());
    if (m_cycle)
        m_cycle->setText(m_rateForm->cycleText);
}

TableEditorScreen::TableEditorScreen(std::unique_ptr<ProductGroupEditorForm> form,
                                     platform::Prompt& prompt, QWidget* parent)
    : QWidget(parent), m_groupForm(std::move(form)), m_prompt(prompt)
{
    setObjectName(QStringLiteral("prodgroup_table"));
    build(m_groupForm->model(), m_groupForm->title(), QString(), false, false);
}

void TableEditorScreen::build(platform::db::TableModel* model, const QString& title,
                              const QString& note, bool cycle, bool readOnly)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    m_grid = new QTableView;
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setModel(model);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    if (readOnly)
        m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_grid);
    if (cycle) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QStringLiteral("รอบในการรับฝาก"));
        m_cycle = new QLineEdit;
        m_cycle->setObjectName(QStringLiteral("txtPeriod"));
        m_cycle->setMaximumWidth(80);
        m_cycle->setAccessibleName(QStringLiteral("      รอบในการรับฝาก                  วัน"));
        label->setBuddy(m_cycle);
        row->addWidget(label);
        row->addWidget(m_cycle);
        row->addWidget(new QLabel(QStringLiteral("วัน")));
        row->addStretch();
        layout->addLayout(row);
    }
    if (!note.isEmpty()) {
        auto* n = new QLabel(note);
        n->setObjectName(QStringLiteral("lblNote"));
        layout->addWidget(n);
    }
    auto* exit = new QPushButton(QStringLiteral("ออก"));
    exit->setObjectName(QStringLiteral("cmdExit"));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(exit, 0, Qt::AlignRight);
    resize(420, 360);
}

void TableEditorScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        platform::ui::deleteSelectedRow(
            m_grid, qobject_cast<platform::db::TableModel*>(m_grid->model()), m_prompt);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TableEditorScreen::closeEvent(QCloseEvent* event)
{
    platform::ui::commitCellEdit(m_grid);
    if (m_rateForm) {
        m_rateForm->cycleText = m_cycle ? m_cycle->text() : QString();
        if (!m_rateForm->close()) {
            event->ignore(); // the error was shown; the screen stays
            return;
        }
    }
    event->accept();
}

} // namespace tawela::contracts

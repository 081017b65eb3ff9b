#include "customers/ui/lookup_editor_screen.h"

#include "platform/ui/screen_parts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace tawela::customers {

using platform::ui::button;
using platform::ui::captioned;

LookupEditorScreen::LookupEditorScreen(std::unique_ptr<LookupEditorForm> form,
                                       platform::Prompt& prompt, QWidget* parent)
    : QWidget(parent), m_form(std::move(form)), m_prompt(prompt)
{
    setObjectName(m_form->name());
    setWindowTitle(m_form->title());
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    if (m_form->kind() == LookupEditorForm::Kind::PostalCodes)
        buildFilter(layout);
    m_grid = new QTableView;
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setAccessibleName(m_form->title());
    m_grid->setModel(m_form->model());
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(m_grid, 1);
    if (!m_form->note().isEmpty()) {
        auto* n = new QLabel(m_form->note());
        n->setObjectName(QStringLiteral("lblNote"));
        layout->addWidget(n);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    if (m_form->hasSave()) {
        auto* save = button("cmdSave", QStringLiteral("จัดเก็บ"));
        connect(save, &QPushButton::clicked, this, &QWidget::close);
        buttons->addWidget(save);
    }
    auto* exit = button("cmdExit", QStringLiteral("ออก"));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    const bool wide = m_form->kind() == LookupEditorForm::Kind::PostalCodes ||
                      m_form->kind() == LookupEditorForm::Kind::UserFields;
    resize(wide ? 760 : 420, wide ? 560 : 380);
}

LookupEditorScreen::~LookupEditorScreen() = default;

void LookupEditorScreen::buildFilter(QBoxLayout* into)
{
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("กรอง"));
    m_province = captioned(new QComboBox, QStringLiteral("กรอง จังหวัด"));
    m_province->setObjectName(QStringLiteral("cboProvince"));
    m_province->addItems(m_form->provinces);
    m_province->setCurrentIndex(-1);
    m_district = captioned(new QComboBox, QStringLiteral("กรอง อำเภอ/เขต"));
    m_district->setObjectName(QStringLiteral("cboDistrict"));
    m_district->addItems(m_form->districts);
    m_district->setCurrentIndex(-1);
    caption->setBuddy(m_province);
    row->addWidget(caption);
    row->addWidget(m_province, 1);
    row->addWidget(m_district, 1);
    into->addLayout(row);
    connect(m_province, &QComboBox::activated, this, [this] {
        m_form->provinceChosen(m_province->currentText());
        const QSignalBlocker quiet(m_district);
        m_district->clear();
        m_district->addItems(m_form->districts);
        m_district->setCurrentIndex(-1);
    });
    connect(m_district, &QComboBox::activated, this,
            [this] { m_form->districtChosen(m_district->currentText()); });
}

void LookupEditorScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        platform::ui::deleteSelectedRow(m_grid, m_form->model(), m_prompt);
        return;
    }
    QWidget::keyPressEvent(event);
}

void LookupEditorScreen::closeEvent(QCloseEvent* event)
{
    platform::ui::commitCellEdit(m_grid);
    event->accept();
}

} // namespace tawela::customers

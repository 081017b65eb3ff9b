#pragma once

#include "customers/lookup_editors.h"

#include <QWidget>

#include <memory>

class QBoxLayout;
class QComboBox;
class QTableView;

namespace tawela::customers {

// One lookup table of the customer file in a grid, with "ออก" (and
// "จัดเก็บ" where the table has it; the postal codes with their "กรอง").
class LookupEditorScreen : public QWidget {
    Q_OBJECT
public:
    LookupEditorScreen(std::unique_ptr<LookupEditorForm> form, platform::Prompt& prompt,
                       QWidget* parent = nullptr);
    ~LookupEditorScreen() override;

    QTableView* grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFilter(QBoxLayout* into);

    std::unique_ptr<LookupEditorForm> m_form;
    platform::Prompt& m_prompt;
    QTableView* m_grid = nullptr;
    QComboBox* m_province = nullptr;
    QComboBox* m_district = nullptr;
};

} // namespace tawela::customers

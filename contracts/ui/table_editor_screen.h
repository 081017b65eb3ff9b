#pragma once

#include "contracts/rate_table_editors.h"

#include <QWidget>

#include <memory>

class QLineEdit;
class QTableView;

namespace tawela::contracts {

// One small table in a grid with "ออก": the interest and discount tables of
// a rate table (Fee_table, Deduct_table) and the product groups (prodgroup_table).
class TableEditorScreen : public QWidget {
    Q_OBJECT
public:
    // Interest or discount editor; the form must have been opened.
    TableEditorScreen(std::unique_ptr<RateTableEditorForm> form, platform::Prompt& prompt,
                      QWidget* parent = nullptr);
    // Product-group editor.
    TableEditorScreen(std::unique_ptr<ProductGroupEditorForm> form, platform::Prompt& prompt,
                      QWidget* parent = nullptr);

    QTableView* grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build(platform::db::TableModel* model, const QString& title, const QString& note,
               bool cycle, bool readOnly);

    std::unique_ptr<RateTableEditorForm> m_rateForm;
    std::unique_ptr<ProductGroupEditorForm> m_groupForm;
    platform::Prompt& m_prompt;
    QTableView* m_grid = nullptr;
    QLineEdit* m_cycle = nullptr;
    bool m_closing = false;
};

} // namespace tawela::contracts

#pragma once

#include "admin/staff.h"
#include "platform/db/database.h"
#include "platform/db/table_model.h"
#include "platform/prompt.h"

#include <memory>

namespace tawela::contracts {

// The interest (Fee_table) and discount (Deduct_table) editors of one rate table.
class RateTableEditorForm {
public:
    enum class Kind { Interest, Discount };

    RateTableEditorForm(std::shared_ptr<platform::db::Database> main, Kind kind, QString tableNo,
                        admin::Right blacklistRight, platform::Prompt& prompt);

    // Binds the grid, creates the first row of an empty table (30 days 5 %
    // or 10 days 1 %) and reads the cycle. A missing table is reported and
    // gives false: the screen does not open.
    bool open();
    // "ออก": stores the cycle into Period (an empty cycle leaves it). An
    // error is shown and gives false: the screen stays open.
    bool close();

    QString title() const { return m_title; }
    QString note() const;
    bool hasCycle() const { return m_kind == Kind::Interest; }
    bool readOnly() const { return m_readOnly; }
    platform::db::TableModel* model() const { return m_model.get(); }

    QString cycleText;

private:
    std::shared_ptr<platform::db::Database> m_db;
    Kind m_kind;
    QString m_tableNo;
    bool m_readOnly;
    platform::Prompt& m_prompt;
    QString m_title;
    std::unique_ptr<platform::db::TableModel> m_model;
};

// prodgroup_table: the product groups of the contract screen's list.
class ProductGroupEditorForm {
public:
    ProductGroupEditorForm(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt);
    QString title() const { return QStringLiteral("ตารางกลุ่มสินค้าขายฝาก"); }
    platform::db::TableModel* model() const { return m_model.get(); }

private:
    std::unique_ptr<platform::db::TableModel> m_model;
};

} // namespace tawela::contracts

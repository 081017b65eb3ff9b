#pragma once

#include "customers/customer_form.h"

#include <QAbstractTableModel>

namespace tawela::customers {

// The list grid: every column of the shown customers, read a window at a
// time from the form's record set, so a million customers open at once.
class CustomerGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CustomerGridModel(const CustomerForm& form, QObject* parent = nullptr);

    // The captions of the 50 columns in table order ("" for the one not shown).
    static const QStringList& captions();
    // After a command: rows added or gone, or values changed.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const CustomerForm& m_form;
    qsizetype m_rows = 0;
};

} // namespace tawela::customers

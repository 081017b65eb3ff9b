#pragma once

#include "admin/staff_form.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tawela::admin {

// "จัดระดับการเข้าถึงข้อมูล": the employees' grid (no password column), the
// shown employee's fields and rights, and the commands.
class StaffScreen : public QWidget {
    Q_OBJECT
public:
    explicit StaffScreen(std::unique_ptr<StaffForm> form, QWidget* parent = nullptr);
    StaffForm& form() { return *m_form; }

private:
    void refresh();
    void readFields();
    void setCommands(bool on);

    std::unique_ptr<StaffForm> m_form;
    QTableWidget* m_grid;
    QLineEdit *m_code, *m_name, *m_password;
    QComboBox* m_rights[7];
    QCheckBox* m_admin;
    QList<QPushButton*> m_commands;
    QGroupBox *m_deletePanel, *m_findPanel;
    QComboBox* m_findKey;
    QLineEdit* m_findText;
};

} // namespace tawela::admin

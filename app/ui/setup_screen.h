#pragma once

#include "app/setup.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace tawela::app {

// First-use setup: the shop's name and the first employee.
class SetupScreen : public QDialog {
    Q_OBJECT
public:
    SetupScreen(SetupForm& form, QWidget* parent = nullptr);

private:
    void confirm();

    SetupForm& m_form;
    QStackedWidget* m_pages;
    QLineEdit* m_company;
    QLineEdit* m_code;
    QLineEdit* m_name;
    QLineEdit* m_password;
    QPushButton* m_confirm;
};

} // namespace tawela::app

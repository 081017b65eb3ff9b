#pragma once

#include "admin/settings_form.h"

#include <QWidget>

#include <array>
#include <memory>

class QButtonGroup;
class QLineEdit;

namespace tawela::admin {

// "ปรับแต่งค่าเริ่มต้น": the shop's settings in their panels, the preview of
// the contract numbers, the drawer test, and "จัดเก็บ", which stores and closes.
class SettingsScreen : public QWidget {
    Q_OBJECT
public:
    explicit SettingsScreen(std::unique_ptr<SettingsForm> form, QWidget* parent = nullptr);
    SettingsForm& form() { return *m_form; }
    QLineEdit* numberField(SettingsForm::Number field) const { return m_numbers[int(field)]; }

private:
    std::unique_ptr<SettingsForm> m_form;
    std::array<QLineEdit*, SettingsForm::NumberCount> m_numbers{};
};

} // namespace tawela::admin

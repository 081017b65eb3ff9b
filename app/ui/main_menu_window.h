#pragma once

#include "app/main_menu.h"
#include "app/ui/screen_registry.h"
#include "app/ui/screens.h"

#include <QMainWindow>

#include <functional>

class QMenu;
class QPushButton;

namespace tawela::app {

// "mainmenu": a strip across the top of the screen with the daily tasks.
class MainMenuWindow : public QMainWindow {
    Q_OBJECT
public:
    // The makers open the screens behind the buttons and the tools menu;
    // an entry without one stays off.
    MainMenuWindow(MainMenuForm& form, ScreenRegistry& screens, ScreenMakers makers = {},
                   QWidget* parent = nullptr);

    // Applies the employee's rights (also done whenever the window becomes active).
    void applyGating();

Q_SIGNALS:
    void quitRequested(); // "ออก" decided the program ends

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* addButton(const QString& objectName, const QString& caption, bool available);
    void showAbout();
    void exitCommand();

    MainMenuForm& m_form;
    ScreenRegistry& m_screens;
    QWidget* m_strip;
    QPushButton* m_contracts;
    QPushButton* m_customers;
    std::function<QWidget*()> m_backup; // the backup screen's maker
    bool m_quitAfterBackup = false;
    QPushButton* m_exit;
    QMenu* m_tools;
};

// "เกี่ยวกับโปรแกรม"
QWidget* makeAboutBox();

} // namespace tawela::app

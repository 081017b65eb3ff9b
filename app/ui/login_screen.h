#pragma once

#include "app/sign_in.h"

#include <QImage>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QFrame;

namespace tawela::app {

// "Authorize Screening": the sign-in screen over the whole display.
class LoginScreen : public QWidget {
    Q_OBJECT
public:
    LoginScreen(SignInForm& form, QWidget* parent = nullptr);

    SignInForm& form() { return m_form; }

Q_SIGNALS:
    void signedIn();
    void fatalError(); // the databases cannot be opened: the program ends
    void exitRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placePanel();
    void syncFromForm();
    void handle(SignInForm::Result result);

    SignInForm& m_form;
    QImage m_background;
    QFrame* m_panel;
    QLineEdit* m_code;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QPushButton* m_exit;
};

// The picture behind the sign-in panel, drawn by the program itself.
QImage loginBackground();

} // namespace tawela::app

#pragma once

#include "customers/customer_form.h"
#include "platform/ui/picture_slots.h"
#include "platform/ui/screen_parts.h"

#include <QGroupBox>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tawela::platform {
class FormBinding;
} // namespace tawela::platform

// The panels beside the customer's fields, one class each. Every panel is
// bound to its part of the form once; its commands go through the screen's
// runner, and refresh() shows what the form then holds.
namespace tawela::customers {

using platform::ui::Runner;

// "ค้นหา": a field and a key, the first match and the next.
class FindPanelView : public QGroupBox {
public:
    FindPanelView(CustomerForm& form, platform::FormBinding& binding, Runner run);
    // The command bar's "ค้นหา": the panel opens with the cursor in its field.
    void open();
    void refresh();
    QWidget* firstField() const;

private:
    CustomerForm& m_form;
    Runner m_run;
    QComboBox *m_field = nullptr, *m_key = nullptr;
};

// "กรองข้อมูล" and, under it, "กรอง ขั้นสูง" with its chain of conditions.
class FilterPanelView : public QWidget {
public:
    FilterPanelView(CustomerForm& form, platform::FormBinding& binding, Runner run);
    void open();
    void refresh();

private:
    CustomerForm& m_form;
    Runner m_run;
    QGroupBox *m_panel = nullptr, *m_advanced = nullptr;
    QComboBox *m_field = nullptr, *m_value = nullptr;
    QLabel* m_op = nullptr;
    QPlainTextEdit* m_command = nullptr;
};

// "รายงาน": the customer reports, the label offsets and the printer.
class ReportPanelView : public QGroupBox {
public:
    ReportPanelView(CustomerForm& form, platform::FormBinding& binding, Runner run);
    void refresh();

private:
    CustomerForm& m_form;
    QButtonGroup* m_choices = nullptr;
};

// The customer's visits: a button that widens the panel and the grid.
class HistoryPanelView : public QWidget {
public:
    HistoryPanelView(CustomerForm& form, Runner run);
    void refresh();

private:
    CustomerForm& m_form;
    QGroupBox* m_panel = nullptr;
    QTableWidget* m_grid = nullptr;
    int m_shownBuild = -1; // the form's history the grid shows
};

// "ส่งอีเมล์": the message to the shown customer or to every listed one.
class MailPanelView : public QGroupBox {
public:
    MailPanelView(CustomerForm& form, platform::FormBinding& binding, Runner run,
                  platform::ui::FileChooser choose);
    // The command bar's "อีเมล์".
    void toggle();
    void refresh();

private:
    // "ส่ง": the server is waited for off the screen's thread.
    void send();
    void openSettings();

    CustomerForm& m_form;
    Runner m_run;
    platform::ui::FileChooser m_choose;
    QLineEdit* m_to = nullptr;
    QPushButton* m_send = nullptr;
};

// "รูปภาพ และ แฟ้มแนบ": three pictures and a spreadsheet attachment. A
// double-click on the panel moves it between the top and the foot of the
// column it stands in.
class FilesPanelView : public QGroupBox {
public:
    using FileOpener = std::function<void(const QString& file)>;
    FilesPanelView(CustomerForm& form, platform::FormBinding& binding, Runner run,
                   platform::ui::FileChooser choose, FileOpener openFile);
    // The scan and webcam buttons of the picture slots.
    void useCapture(platform::ui::CaptureOpener open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void show(const CustomerForm::FileView& view);

    CustomerForm& m_form;
    Runner m_run;
    platform::ui::FileChooser m_choose;
    FileOpener m_openFile;
    QLineEdit* m_name[4] = {};
    QPushButton *m_scan[3] = {}, *m_webcam[3] = {};
};

} // namespace tawela::customers

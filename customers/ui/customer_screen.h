#pragma once

#include "customers/customer_form.h"
#include "customers/ui/customer_grid_model.h"
#include "customers/ui/customer_panel_views.h"
#include "customers/ui/customer_record_view.h"
#include "platform/ui/picture_slots.h"

#include <QHash>
#include <QWidget>

#include <functional>
#include <memory>

class QButtonGroup;
class QComboBox;
class QTableWidget;
class QVBoxLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace tawela::platform {
class FormBinding;
class ThaiDateEdit;
} // namespace tawela::platform

namespace tawela::customers {

// "ข้อมูลลูกค้า": the customer screen over a CustomerForm. Each widget is
// bound once to its value in the form; every command goes to the form and
// refresh() shows what the form then holds.
class CustomerScreen : public QWidget {
    Q_OBJECT
public:
    // The lookup editors of the tools menu, opened by name
    // ("group_cust", "status_table", "pre_name_table", "user_field", "PostalCode").
    using EditorOpener = std::function<void(const QString& name)>;
    // Shows a written spreadsheet in the desktop's spreadsheet program.
    using FileOpener = std::function<void(const QString& file)>;

    CustomerScreen(std::unique_ptr<CustomerForm> form, EditorOpener openEditor = {},
                   FileOpener openFile = {}, QWidget* parent = nullptr);
    ~CustomerScreen() override;

    using FileChooser = platform::ui::FileChooser;

    CustomerForm& form() { return *m_form; }
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // Where the import's file dialog starts.
    void setImportFolder(const QString& folder) { m_importFolder = folder; }
    // The scan and webcam buttons of the picture slots.
    void useCapture(platform::ui::CaptureOpener open);
    // "อ่านบัตรประชาชน" in the tools menu opens the card reader's screen
    // (only on computers whose settings say a reader is attached).
    void useCardReader(std::function<void()> openReader)
    {
        m_openCardReader = std::move(openReader);
        refresh();
    }
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Commands {
        QPushButton *add, *remove, *save, *cancel, *find, *filter, *report, *mail, *one2Excel,
            *all2Excel, *correctAll, *exit, *pick, *detail;
        QPushButton *first, *previous, *next, *last;
    };

    void build();
    QWidget* buildGrid();
    QWidget* buildCommandBar();
    QWidget* buildDeletePanel();
    void buildSidePanels(QVBoxLayout* side);
    void refreshPanels();
    void buildToolsMenu(QPushButton* button);
    void bindCommands();
    void run(const std::function<void()>& command);
    void save();
    void importSheet();
    void showImportProblems(const QList<ImportProblem>& problems);

    std::unique_ptr<CustomerForm> m_form;
    EditorOpener m_openEditor;
    FileOpener m_openFile;
    QString m_importFolder;
    platform::FormBinding* m_binding = nullptr;
    CustomerGridModel* m_model = nullptr;
    Commands m_cmd{};
    CustomerRecordView* m_record = nullptr;
    QWidget* m_deletePanel = nullptr;
    QPushButton* m_deleteYes = nullptr;
    QTableView* m_grid = nullptr;
    QLabel* m_position = nullptr;
    QPushButton* m_toolsButton = nullptr;
    QMenu* m_tools = nullptr;
    FindPanelView* m_find = nullptr;
    FilterPanelView* m_filter = nullptr;
    ReportPanelView* m_report = nullptr;
    HistoryPanelView* m_history = nullptr;
    MailPanelView* m_mail = nullptr;
    FilesPanelView* m_files = nullptr;
    FileChooser m_chooseFile;
    bool m_closing = false; // the screen closes itself after a command
    std::function<void()> m_openCardReader;
};

} // namespace tawela::customers

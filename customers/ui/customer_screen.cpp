#include "customers/ui/customer_screen.h"

#include "platform/db/recordset.h"
#include "platform/ui/form_binding.h"
#include "platform/ui/screen_parts.h"
#include "platform/ui/thai_date_edit.h"
#include "text/thai_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace tawela::customers {

using platform::FormBinding;
using platform::ui::button;
using platform::ui::captioned;

CustomerScreen::CustomerScreen(std::unique_ptr<CustomerForm> form, EditorOpener openEditor,
                               FileOpener openFile, QWidget* parent)
    : QWidget(parent), m_form(std::move(form)), m_openEditor(std::move(openEditor)),
      m_openFile(std::move(openFile))
{
    setObjectName(QStringLiteral("customer"));
    setWindowTitle(QStringLiteral("ข้อมูลลูกค้า"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_binding = new FormBinding(this, [this] { refresh(); });
    build();
    bindCommands();
    refresh();
    if (QScreen* s = screen())
        setGeometry(s->availableGeometry());
}

CustomerScreen::~CustomerScreen() = default;

void CustomerScreen::buildSidePanels(QVBoxLayout* side)
{
    const Runner run = [this](const std::function<void()>& command) { this->run(command); };
    FormBinding& b = *m_binding;
    const FileChooser choose = [this](const QString& title, const QStringList& filters,
                                      int selected, const QString& start) {
        return (m_chooseFile ? m_chooseFile : FileChooser(platform::ui::askForFile))(
            title, filters, selected, start);
    };
    m_find = new FindPanelView(*m_form, b, run);
    m_filter = new FilterPanelView(*m_form, b, run);
    m_report = new ReportPanelView(*m_form, b, run);
    m_mail = new MailPanelView(*m_form, b, run, choose);
    m_history = new HistoryPanelView(*m_form, run);
    m_files = new FilesPanelView(*m_form, b, run, choose, m_openFile);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_find, m_filter, m_report, m_mail, m_history, m_files})
        side->addWidget(w);
}

void CustomerScreen::useCapture(platform::ui::CaptureOpener open)
{
    m_files->useCapture(std::move(open));
}

void CustomerScreen::refreshPanels()
{
    m_find->refresh();
    m_filter->refresh();
    m_report->refresh();
    m_mail->refresh();
    m_history->refresh();
}

void CustomerScreen::build()
{
    auto* layout = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("split"));
    auto* top = new QWidget;
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(0, 0, 0, 0);
    const Runner run = [this](const std::function<void()>& command) { this->run(command); };
    m_record = new CustomerRecordView(*m_form, *m_binding, run, [this] {
        m_closing = true;
        close();
    });
    topRow->addWidget(m_record, 4);
    auto* side = new QVBoxLayout;
    side->addWidget(m_record->spousePanel());
    side->addWidget(buildDeletePanel());
    buildSidePanels(side);
    side->addStretch(1);
    // The panels beside the fields scroll when open together, rather than
    // pushing the list and the commands off the screen; the fields decide
    // how tall the top is.
    QScrollArea* sideArea = platform::ui::scrolling(side);
    sideArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sideArea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    topRow->addWidget(sideArea, 2);
    split->addWidget(top);
    split->addWidget(buildGrid());
    // The fields take what they need, the list grid the rest.
    top->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);
    layout->addWidget(buildCommandBar());
}

QWidget* CustomerScreen::buildGrid()
{
    auto* box = new QWidget;
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    m_model = new CustomerGridModel(*m_form, this);
    m_grid = new QTableView;
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setAccessibleName(QStringLiteral("ตารางลูกค้า"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setColumnHidden(int(CustomerGridModel::captions().size()) - 1, true);
    v->addWidget(m_grid, 1);
    auto* nav = new QHBoxLayout;
    m_cmd.first = button("navFirst", QStringLiteral("|<"));
    m_cmd.previous = button("navPrevious", QStringLiteral("<"));
    m_cmd.next = button("navNext", QStringLiteral(">"));
    m_cmd.last = button("navLast", QStringLiteral(">|"));
    m_cmd.first->setAccessibleName(QStringLiteral("ลูกค้าคนแรก"));
    m_cmd.previous->setAccessibleName(QStringLiteral("ลูกค้าก่อนหน้า"));
    m_cmd.next->setAccessibleName(QStringLiteral("ลูกค้าถัดไป"));
    m_cmd.last->setAccessibleName(QStringLiteral("ลูกค้าคนสุดท้าย"));
    m_position = new QLabel;
    m_position->setObjectName(QStringLiteral("Adodc1"));
    nav->addWidget(m_cmd.first);
    nav->addWidget(m_cmd.previous);
    nav->addWidget(m_position, 1, Qt::AlignCenter);
    nav->addWidget(m_cmd.next);
    nav->addWidget(m_cmd.last);
    v->addLayout(nav);
    return box;
}

QWidget* CustomerScreen::buildDeletePanel()
{
    m_deletePanel = new QGroupBox;
    m_deletePanel->setObjectName(QStringLiteral("Frame_delete"));
    auto* v = new QVBoxLayout(m_deletePanel);
    v->addWidget(new QLabel(QStringLiteral("คุณต้องการลบ Record นี้ใช่หรือไม่")));
    auto* h = new QHBoxLayout;
    m_deleteYes = button("cmdYes", QStringLiteral("ใช่"));
    m_deleteYes->setToolTip(QStringLiteral("กด Shift พร้อมกับกดปุ่มนี้ คือการลบทุก record ในตาราง"));
    auto* no = button("cmdNo", QStringLiteral("ไม่ใช่"));
    h->addWidget(m_deleteYes);
    h->addWidget(no);
    v->addLayout(h);
    connect(m_deleteYes, &QPushButton::clicked, this, [this] {
        const bool every = QApplication::keyboardModifiers() & Qt::ShiftModifier;
        run([this, every] { m_form->confirmDelete(every); });
    });
    connect(no, &QPushButton::clicked, this, [this] { run([this] { m_form->cancelDelete(); }); });
    m_deletePanel->hide();
    return m_deletePanel;
}

QWidget* CustomerScreen::buildCommandBar()
{
    auto* bar = new QWidget;
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(0, 0, 0, 0);
    m_cmd.add = button("cmdAdd", QStringLiteral("เพิ่ม"));
    m_cmd.remove = button("cmdDelete", QStringLiteral("ลบ"));
    m_cmd.save = button("cmdSave", QStringLiteral("จัดเก็บ"));
    m_cmd.cancel = button("cmdCancel", QStringLiteral("ยกเลิก"));
    m_cmd.find = button("cmdFind", QStringLiteral("ค้นหา"));
    m_cmd.filter = button("cmdFilter", QStringLiteral("กรองข้อมูล"));
    m_cmd.report = button("cmdReport", QStringLiteral("รายงาน"));
    m_cmd.mail = button("cmdMail", QStringLiteral("ส่งอีเมล์"));
    m_cmd.one2Excel = button("cmdOne2Excel", QStringLiteral("One2Excel"));
    m_cmd.all2Excel = button("cmdAll2Excel", QStringLiteral("All2Excel"));
    m_cmd.correctAll = button("cmdCorrectAll", QStringLiteral("Correct All Address"));
    m_cmd.pick = button("cmdPick", QStringLiteral("เลือก"));
    m_cmd.pick->setToolTip(QStringLiteral("ส่งลูกค้าคนนี้ไปที่หน้าขายฝาก"));
    m_cmd.detail = button("cmdDetail", QStringLiteral("Detail"));
    m_cmd.exit = button("cmdExit", QStringLiteral("ออก"));
    m_toolsButton = button("mnuTools", QStringLiteral("เครื่องมือ"));
    buildToolsMenu(m_toolsButton);
    m_cmd.correctAll->hide();
    for (QPushButton* b : {m_cmd.add, m_cmd.remove, m_cmd.save, m_cmd.cancel, m_cmd.correctAll,
                           m_cmd.pick, m_cmd.find, m_cmd.filter, m_cmd.report, m_cmd.mail,
                           m_cmd.one2Excel, m_cmd.all2Excel, m_cmd.detail, m_toolsButton})
        h->addWidget(b);
    h->addStretch(1);
    h->addWidget(m_cmd.exit);
    m_cmd.save->installEventFilter(this);
    return bar;
}

void CustomerScreen::buildToolsMenu(QPushButton* toolsButton)
{
    m_tools = new QMenu(toolsButton);
    const std::pair<const char*, const char*> editors[] = {
        {"group_cust", "ตารางกลุ่มลูกค้า"},       {"status_table", "ตารางสถานะลูกค้า"},
        {"pre_name_table", "ตารางคำนำหน้าชื่อ"}, {"user_field", "ตาราง User define Field"},
        {"PostalCode", "ตารางรหัสไปรษณีย์"},
    };
    for (const auto& [name, caption] : editors) {
        QAction* a = m_tools->addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        a->setEnabled(bool(m_openEditor));
        connect(a, &QAction::triggered, this,
                [this, editor = QString::fromLatin1(name)] { m_openEditor(editor); });
    }
    m_tools->addSeparator();
    QAction* import = m_tools->addAction(QStringLiteral("นำเข้าข้อมูลจาก Excel"));
    import->setObjectName(QStringLiteral("mnuImport"));
    connect(import, &QAction::triggered, this, &CustomerScreen::importSheet);
    QAction* card = m_tools->addAction(QStringLiteral("อ่านบัตรประชาชน"));
    card->setObjectName(QStringLiteral("mnuIdCard"));
    card->setEnabled(false);
    connect(card, &QAction::triggered, this, [this] {
        if (m_openCardReader)
            m_openCardReader();
    });
    toolsButton->setMenu(m_tools);
}

void CustomerScreen::bindCommands()
{
    connect(m_cmd.add, &QPushButton::clicked, this, [this] {
        bool added = false;
        run([this, &added] { added = m_form->add(); });
        if (added)
            m_record->focusCode();
    });
    connect(m_cmd.cancel, &QPushButton::clicked, this,
            [this] { run([this] { m_form->cancelAdd(); }); });
    connect(m_cmd.save, &QPushButton::clicked, this, &CustomerScreen::save);
    connect(m_cmd.find, &QPushButton::clicked, m_find, &FindPanelView::open);
    connect(m_cmd.filter, &QPushButton::clicked, m_filter, &FilterPanelView::open);
    connect(m_cmd.mail, &QPushButton::clicked, m_mail, &MailPanelView::toggle);
    connect(m_cmd.report, &QPushButton::clicked, this,
            [this] { run([this] { m_form->reports().toggle(); }); });
    connect(m_cmd.remove, &QPushButton::clicked, this, [this] {
        run([this] { m_form->askDelete(); });
        m_deleteYes->setFocus();
    });
    connect(m_cmd.correctAll, &QPushButton::clicked, this,
            [this] { run([this] { m_form->correctAllAddresses(); }); });
    connect(m_cmd.detail, &QPushButton::clicked, this,
            [this] { m_record->spousePanel()->setVisible(!m_record->spousePanel()->isVisible()); });
    connect(m_cmd.pick, &QPushButton::clicked, this, [this] {
        if (m_form->pick()) {
            m_closing = true;
            close();
        }
    });
    connect(m_cmd.exit, &QPushButton::clicked, this, &QWidget::close);
    auto exported = [this](std::optional<QString> (CustomerSpreadsheets::*command)()) {
        return [this, command] {
            std::optional<QString> file;
            run([this, command, &file] { file = (m_form->spreadsheets().*command)(); });
            if (file && m_openFile)
                m_openFile(*file);
        };
    };
    connect(m_cmd.one2Excel, &QPushButton::clicked, this,
            exported(&CustomerSpreadsheets::exportCurrent));
    connect(m_cmd.all2Excel, &QPushButton::clicked, this,
            exported(&CustomerSpreadsheets::exportShown));
    connect(m_cmd.first, &QPushButton::clicked, this,
            [this] { run([this] { m_form->moveFirst(); }); });
    connect(m_cmd.previous, &QPushButton::clicked, this,
            [this] { run([this] { m_form->movePrevious(); }); });
    connect(m_cmd.next, &QPushButton::clicked, this,
            [this] { run([this] { m_form->moveNext(); }); });
    connect(m_cmd.last, &QPushButton::clicked, this,
            [this] { run([this] { m_form->moveLast(); }); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != m_form->position())
                    run([this, row = current.row()] { m_form->moveTo(row); });
            });
}

void CustomerScreen::importSheet()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("เลือกไฟล์ Microsoft Excel"), m_importFolder,
        QStringLiteral("ไฟล์ตารางคำนวณ (*.xlsx *.ods *.xls);;ทุกไฟล์ (*)"));
    if (file.isEmpty())
        return;
    if (!m_form->close())
        return;
    // Shown at once: the sheet is read as its rows are stored, the bar
    // moving from the first rows on.
    QProgressDialog progress(
        QStringLiteral("กำลังนำเข้าข้อมูลลูกค้าจากแฟ้ม %1…").arg(QFileInfo(file).fileName()),
        QStringLiteral("ยกเลิก"), 0, 0, this);
    progress.setWindowTitle(QStringLiteral("นำเข้าข้อมูลจาก Excel"));
    // The rows go in inside one write: no other window may start a command
    // meanwhile, only this one's cancel button is live.
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setMinimumWidth(
        progress.fontMetrics().horizontalAdvance(progress.windowTitle() + progress.labelText()) +
        120);
    progress.show();
    QCoreApplication::processEvents();
    std::optional<ImportResult> result;
    run([&] {
        result =
            m_form->spreadsheets().importFile(file, [&progress](qsizetype done, qsizetype total) {
                progress.setMaximum(int(std::max<qsizetype>(total, 1)));
                progress.setValue(int(std::min(done, total)));
                QCoreApplication::processEvents();
                return !progress.wasCanceled();
            });
    });
    progress.close();
    if (!result)
        return;
    if (!result->problems.isEmpty())
        showImportProblems(result->problems);
    // The screen shows the file as it was opened: it closes, as after an import always.
    m_closing = true;
    close();
}

void CustomerScreen::showImportProblems(const QList<ImportProblem>& problems)
{
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("ข้อมูลที่นำเข้าไม่ได้"));
    auto* v = new QVBoxLayout(&dialog);
    auto* caption = new QLabel(QStringLiteral("ช่องต่อไปนี้ไม่ได้จัดเก็บ (ช่องอื่นของแถวเดียวกันจัดเก็บแล้ว)"));
    auto* list = captioned(new QPlainTextEdit, QStringLiteral("ข้อมูลที่นำเข้าไม่ได้"));
    list->setReadOnly(true);
    const QString report = problemReport(problems);
    list->setPlainText(report);
    caption->setBuddy(list);
    v->addWidget(caption);
    v->addWidget(list, 1);
    auto* save = button("cmdSaveReport", QStringLiteral("บันทึกรายการ"));
    auto* done = button("cmdClose", QStringLiteral("ปิด"));
    auto* buttons = platform::ui::rightAligned({save, done});
    v->addLayout(buttons);
    connect(done, &QPushButton::clicked, &dialog, &QDialog::accept);
    connect(save, &QPushButton::clicked, &dialog, [&] {
        const QString to = platform::ui::saveFileName(
            &dialog, QStringLiteral("บันทึกรายการ"), m_importFolder + QStringLiteral("/import.csv"),
            QStringLiteral("CSV (*.csv)"));
        if (to.isEmpty())
            return;
        QFile out(to);
        if (!out.open(QIODevice::WriteOnly) || out.write(report.toUtf8()) < 0)
            QMessageBox::warning(&dialog, QStringLiteral("พบข้อผิดพลาด"),
                                 QStringLiteral("บันทึกแฟ้ม ") + to + QStringLiteral(" ไม่ได้"));
    });
    dialog.resize(640, 360);
    dialog.exec();
}

void CustomerScreen::run(const std::function<void()>& command)
{
    command();
    refresh();
}

void CustomerScreen::save()
{
    std::optional<CustomerForm::Field> refused;
    run([this, &refused] { refused = m_form->save(); });
    if (refused) {
        if (QWidget* w = m_record->fieldOf(*refused))
            w->setFocus();
    }
}

void CustomerScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Opened with the find panel (to pick a customer): its first field takes the cursor.
    if (m_form->finder().panel.visible)
        m_find->firstField()->setFocus();
}

void CustomerScreen::refresh()
{
    const CustomerForm::Commands cmd = m_form->commands();
    m_record->refresh(cmd.record && m_form->hasCurrent());
    m_binding->show();
    m_position->setText(m_form->positionText());
    m_cmd.add->setEnabled(cmd.add);
    for (auto [b, on] : {std::pair{m_cmd.remove, cmd.remove}, std::pair{m_cmd.save, cmd.save},
                         std::pair{m_cmd.exit, cmd.exit}}) {
        b->setVisible(!m_form->readOnly());
        b->setEnabled(on);
    }
    m_cmd.add->setVisible(!m_form->readOnly());
    m_cmd.cancel->setEnabled(cmd.cancel);
    m_cmd.one2Excel->setEnabled(cmd.exportOne);
    m_cmd.all2Excel->setEnabled(cmd.exportAll);
    m_cmd.report->setEnabled(cmd.reports);
    m_cmd.pick->setVisible(m_form->opening().mode == OpeningMode::Pick);
    m_cmd.pick->setEnabled(cmd.pick);
    m_toolsButton->setEnabled(cmd.tools);
    for (QAction* a : m_tools->actions()) {
        if (a->objectName() == QLatin1String("mnuIdCard"))
            a->setEnabled(cmd.idCard && bool(m_openCardReader));
    }
    m_deletePanel->setVisible(m_form->deleteAsked());
    refreshPanels();
    const bool panel = m_form->finder().panel.visible || m_form->filter().panel.visible;
    for (QPushButton* b : {m_cmd.find, m_cmd.filter})
        b->setEnabled(!panel);
    for (QPushButton* b : {m_cmd.first, m_cmd.previous, m_cmd.next, m_cmd.last})
        b->setEnabled(m_form->count() > 0);
    m_model->refresh();
    const int at = int(m_form->position());
    if (at >= 0 && m_grid->currentIndex().row() != at) {
        const QSignalBlocker quiet(m_grid->selectionModel());
        m_grid->setCurrentIndex(m_model->index(at, 1));
        m_grid->scrollTo(m_model->index(at, 1));
    }
}

bool CustomerScreen::eventFilter(QObject* watched, QEvent* event)
{
    // Shift+F3 on "จัดเก็บ" shows the command that corrects every stored address.
    if (watched == m_cmd.save && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F3 && key->modifiers() == Qt::ShiftModifier) {
            m_cmd.correctAll->setVisible(!m_form->readOnly());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CustomerScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_form->deleteAsked()) {
        run([this] { m_form->cancelDelete(); });
        return;
    }
    QWidget::keyPressEvent(event);
}

void CustomerScreen::closeEvent(QCloseEvent* event)
{
    if (m_form->mail().panel.sending) {
        // The server's answer is still awaited: it must reach the person.
        event->ignore();
        return;
    }
    if (!m_closing && !m_form->close()) {
        event->ignore();
        refresh();
        return;
    }
    event->accept();
}

} // namespace tawela::customers

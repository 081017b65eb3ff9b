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
using platform::ThaiDateEdit;
using platform::ui::button;
using platform::ui::captioned;

namespace {

QLineEdit* line(const char* name, const QString& caption)
{
    auto* e = captioned(new QLineEdit, caption);
    e->setObjectName(QLatin1String(name));
    return e;
}

QComboBox* list(const char* name, const QString& caption, bool editable = true)
{
    auto* c = captioned(new QComboBox, caption);
    c->setObjectName(QLatin1String(name));
    c->setEditable(editable);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    c->setMinimumContentsLength(12);
    return c;
}

// A row of several fields after one caption; the caption is the first
// field's buddy and every other field is named by its own caption.
QLabel* row(QFormLayout* form, QLabel* label, std::initializer_list<QWidget*> fields)
{
    auto* box = new QHBoxLayout;
    for (QWidget* f : fields)
        box->addWidget(f, qobject_cast<QPushButton*>(f) ? 0 : 1);
    label->setBuddy(*fields.begin());
    form->addRow(label, box);
    return label;
}

QLabel* row(QFormLayout* form, const QString& caption, std::initializer_list<QWidget*> fields)
{
    return row(form, new QLabel(caption), fields);
}

} // namespace

CustomerGridModel::CustomerGridModel(const CustomerForm& form, QObject* parent)
    : QAbstractTableModel(parent), m_form(form), m_rows(form.count())
{}

const QStringList& CustomerGridModel::captions()
{
    static const QStringList c = {
        QStringLiteral("ID"),
        QStringLiteral("รหัสลูกค้า"),
        QStringLiteral("คำนำหน้า"),
        QStringLiteral("ชื่อ สกุล/บริษัท"),
        QStringLiteral("ชื่อเล่น/ชื่อติดต่อ"),
        QStringLiteral("วันเกิด"),
        QStringLiteral("อายุ"),
        QStringLiteral("เลขบัตร ปชช/TAX ID"),
        QStringLiteral("ที่อยุ่ เลขที่ หมู่ที่"),
        QStringLiteral("หมู่บ้าน/อาคาร"),
        QStringLiteral("ซอย"),
        QStringLiteral("ถนน"),
        QStringLiteral("แขวง/ตำบล"),
        QStringLiteral("เขต/อำเภอ"),
        QStringLiteral("จังหวัด"),
        QStringLiteral("มือถือ"),
        QStringLiteral("โทรศัพท์บ้าน"),
        QStringLiteral("โทรสาร"),
        QStringLiteral("user1"),
        QStringLiteral("user2"),
        QStringLiteral("user3"),
        QStringLiteral("user4"),
        QStringLiteral("user5"),
        QStringLiteral("email"),
        QStringLiteral("Note"),
        QStringLiteral("image1"),
        QStringLiteral("image2"),
        QStringLiteral("image3"),
        QStringLiteral("Excel_file"),
        QStringLiteral("dt_im1"),
        QStringLiteral("dt_im2"),
        QStringLiteral("dt_im3"),
        QStringLiteral("Excel_name"),
        QStringLiteral("รายได้"),
        QStringLiteral("อยู่กทม"),
        QStringLiteral("กลุ่ม"),
        QStringLiteral("เพศ"),
        QStringLiteral("การศึกษา"),
        QStringLiteral("สถานะแต่งงาน"),
        QStringLiteral("คู่สมรส"),
        QStringLiteral("คู่สมรส อาชีพ"),
        QStringLiteral("หมายเหต คู่สมรส "),
        QStringLiteral("Spare1"),
        QStringLiteral("spare2"),
        QStringLiteral("spare3"),
        QStringLiteral("Full_address1"),
        QStringLiteral("Full_address2"),
        QStringLiteral("รหัสไปรษณีย์"),
        QStringLiteral("เดือนเกิด"),
        QString(), // the points: carried by the spreadsheets only
    };
    return c;
}

void CustomerGridModel::refresh()
{
    if (m_rows != m_form.count()) {
        beginResetModel();
        m_rows = m_form.count();
        endResetModel();
    } else if (m_rows > 0) {
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows - 1), columnCount() - 1));
    }
}

int CustomerGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows);
}

int CustomerGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(captions().size());
}

QVariant CustomerGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || !m_form.records())
        return {};
    return shownText(m_form.records()->valueAt(index.row(), index.column()));
}

QVariant CustomerGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return captions().value(section);
    return QString::number(section + 1);
}

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
    limitTexts();
    bindFields();
    bindCommands();
    setupEnterOrder();
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
    topRow->addWidget(buildRecordPanel(), 4);
    auto* side = new QVBoxLayout;
    m_spousePanel = new QGroupBox(QStringLiteral("ข้อมูลคู่สมรส"));
    m_spousePanel->setObjectName(QStringLiteral("Frame_spouse"));
    auto* sp = new QFormLayout(m_spousePanel);
    m_f.spouse = line("spouse", QStringLiteral("ชื่อ นามสกุล"));
    m_f.spouseOcc = line("spouse_occ", QStringLiteral("อาชีพ"));
    m_f.spouseDetail = captioned(new QPlainTextEdit, QStringLiteral("บันทึกเพิ่มเติม คู่สมรส"));
    m_f.spouseDetail->setObjectName(QStringLiteral("spouse_detail"));
    m_f.spouseDetail->setTabChangesFocus(true);
    sp->addRow(QStringLiteral("ชื่อ นามสกุล"), m_f.spouse);
    sp->addRow(QStringLiteral("อาชีพ"), m_f.spouseOcc);
    sp->addRow(QStringLiteral("บันทึกเพิ่มเติม"), m_f.spouseDetail);
    m_spousePanel->hide();
    side->addWidget(m_spousePanel);
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

void CustomerScreen::limitTexts()
{
    // Each field is named after its column: it takes no more than the column does.
    for (QWidget* w :
         m_record->findChildren<QWidget*>() + m_spousePanel->findChildren<QWidget*>()) {
        const int limit = int(textLimit(w->objectName()));
        if (limit == 0)
            continue;
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setMaxLength(limit);
        else if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit())
            box->lineEdit()->setMaxLength(limit);
        else if (auto* t = qobject_cast<QPlainTextEdit*>(w))
            platform::ui::limitLength(t, limit);
    }
}

QLabel* CustomerScreen::shopLabel(const QString& caption, CustomerForm::ShopPart part)
{
    auto* label = new QLabel(caption);
    label->setProperty("shopPart", int(part));
    label->setToolTip(QStringLiteral("ดับเบิลคลิกเพื่อใช้ที่อยู่ของร้าน"));
    label->installEventFilter(this);
    return label;
}

QGroupBox* CustomerScreen::buildRecordPanel()
{
    m_record = new QGroupBox;
    m_record->setObjectName(QStringLiteral("Frame1"));
    // Two columns of fields, so the list grid keeps room below them.
    auto* columns = new QHBoxLayout(m_record);
    auto* k = new QFormLayout;
    auto* k2 = new QFormLayout;
    for (QFormLayout* f : {k, k2}) {
        f->setVerticalSpacing(3);
        auto* column = new QVBoxLayout;
        column->addLayout(f);
        column->addStretch(1);
        columns->addLayout(column, 1);
    }
    m_f.code = line("C_code", QStringLiteral("รหัสลูกค้า"));
    m_f.group = list("class", QStringLiteral("กลุ่ม"));
    row(k, QStringLiteral("รหัสลูกค้า , กลุ่ม"), {m_f.code, m_f.group});
    m_f.title = list("C_prename", QStringLiteral("คำนำหน้าชื่อ"));
    m_f.sex = line("sex", QStringLiteral("เพศ"));
    m_f.sex->setPlaceholderText(QStringLiteral("นิติบุคคลให้ใส่ OR"));
    m_f.sex->setToolTip(QStringLiteral("นิติบุคคลให้ใส่ OR"));
    row(k, QStringLiteral("คำนำหน้าชื่อ , เพศ"), {m_f.title, m_f.sex});
    m_f.name = line("C_name", QStringLiteral("ชื่อ / บริษัท"));
    row(k, QStringLiteral("ชื่อ / บริษัท"), {m_f.name});
    m_f.sname = line("C_Sname", QStringLiteral("นามสกุล/ผู้ติดต่อ"));
    row(k, QStringLiteral("นามสกุล/ผู้ติดต่อ"), {m_f.sname});
    m_f.status = list("marrital", QStringLiteral("สถานะลูกค้า"));
    m_f.birth = captioned(new ThaiDateEdit, QStringLiteral("วันเกิด"));
    m_f.birth->setObjectName(QStringLiteral("birthday"));
    m_f.age = line("C_age", QStringLiteral("อายุ"));
    m_f.age->setMaximumWidth(60);
    m_ageLabel = new QLabel(QStringLiteral("วันเกิด,อายุ,สถานะ"));
    m_ageLabel->setToolTip(QStringLiteral("กด Double click ที่นี่เพื่อปรับอายุ (ปกติทำปีละครั้ง)"));
    m_ageLabel->installEventFilter(this);
    row(k, m_ageLabel, {m_f.status, m_f.birth, m_f.age});
    m_f.month = list("month_birth", QStringLiteral("เดือนเกิด"), false);
    m_f.month->addItem(QString());
    m_f.month->addItems(monthNames());
    m_f.education = list("education", QStringLiteral("การศึกษา"));
    m_f.education->addItems(educationLevels());
    row(k, QStringLiteral("เดือนเกิด , การศึกษา"), {m_f.month, m_f.education});
    m_f.idNumber = line("C_ID", QStringLiteral("เลขบัตร ปชช./TAX ID"));
    m_cmd.check = button("cmdCheck", QStringLiteral("Check"));
    row(k, QStringLiteral("เลขบัตร ปชช./TAX ID"), {m_f.idNumber, m_cmd.check});
    m_f.address = line("C_address", QStringLiteral("ที่อยู่ เลขที่ หมู่ที่"));
    m_f.address->setPlaceholderText(QStringLiteral("ใส่คำนำหน้าด้วย"));
    row(k, QStringLiteral("ที่อยู่ เลขที่ หมู่ที่"), {m_f.address});
    m_f.moo = line("C_moo", QStringLiteral("หมู่บ้าน / อาคาร"));
    m_f.moo->setPlaceholderText(QStringLiteral("ใส่คำนำหน้าด้วย"));
    row(k, QStringLiteral("หมู่บ้าน / อาคาร"), {m_f.moo});
    m_f.soi = line("C_soi", QStringLiteral("ตรอก / ซอย"));
    m_f.soi->setPlaceholderText(QStringLiteral("ใส่คำนำหน้าด้วย"));
    row(k, QStringLiteral("ตรอก / ซอย"), {m_f.soi});
    m_f.road = line("C_road", QStringLiteral("ถนน"));
    m_f.road->setPlaceholderText(QStringLiteral("ไม่ต้องใส่คำนำหน้า"));
    row(k, shopLabel(QStringLiteral("ถนน"), CustomerForm::ShopPart::Road), {m_f.road});
    m_f.tumbol = list("C_tumbol", QStringLiteral("แขวง/ตำบล"));
    m_f.tumbol->lineEdit()->setPlaceholderText(QStringLiteral("ไม่ต้องใส่คำนำหน้า"));
    m_cmd.allSubDistricts = button("cmdAllTumbol", QStringLiteral("All"));
    m_cmd.allSubDistricts->setAccessibleName(QStringLiteral("แขวง/ตำบล ทั้งประเทศ"));
    row(k, shopLabel(QStringLiteral("แขวง/ตำบล"), CustomerForm::ShopPart::Tumbol),
        {m_f.tumbol, m_cmd.allSubDistricts});
    m_f.ampor = list("C_Ampor", QStringLiteral("เขต/อำเภอ"));
    m_f.ampor->lineEdit()->setPlaceholderText(QStringLiteral("ไม่ต้องใส่คำนำหน้า"));
    m_cmd.allDistricts = button("cmdAllAmpor", QStringLiteral("All"));
    m_cmd.allDistricts->setAccessibleName(QStringLiteral("เขต/อำเภอ ทั้งประเทศ"));
    row(k, shopLabel(QStringLiteral("เขต/อำเภอ"), CustomerForm::ShopPart::Ampor),
        {m_f.ampor, m_cmd.allDistricts});
    m_f.province = list("C_Province", QStringLiteral("จังหวัด"));
    m_f.province->lineEdit()->setPlaceholderText(QStringLiteral("ไม่ต้องใส่คำนำหน้า"));
    m_f.zip = line("zip", QStringLiteral("รหัสไปรษณีย์"));
    m_f.zip->setMaximumWidth(80);
    row(k, shopLabel(QStringLiteral("จังหวัด/รหัสไปรษณีย์"), CustomerForm::ShopPart::ProvinceZip),
        {m_f.province, m_f.zip});
    m_f.homePhone = line("C_HP", QStringLiteral("โทรศัพท์"));
    row(k2, QStringLiteral("โทรศัพท์"), {m_f.homePhone});
    m_f.mobile = line("C_MP", QStringLiteral("โทรศัพท์มือถือ"));
    row(k2, QStringLiteral("โทรศัพท์มือถือ"), {m_f.mobile});
    m_f.fax = line("C_FAX", QStringLiteral("โทรสาร"));
    row(k2, QStringLiteral("โทรสาร"), {m_f.fax});
    QLineEdit** users[] = {&m_f.user1, &m_f.user2, &m_f.user3, &m_f.user4};
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "user" + QByteArray::number(i + 1);
        *users[i] = line(name.constData(), QString::fromLatin1(name));
        m_userLabels[i] = row(k2, QString::fromLatin1(name), {*users[i]});
    }
    m_f.user5 = captioned(new ThaiDateEdit, QStringLiteral("user5"));
    m_f.user5->setObjectName(QStringLiteral("user5"));
    m_userLabels[4] = row(k2, QStringLiteral("user5"), {m_f.user5});
    for (ThaiDateEdit* d : {m_f.birth, m_f.user5}) {
        d->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        d->setMinimumWidth(d->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
    }
    m_f.email = line("email", QStringLiteral("E mail"));
    row(k2, QStringLiteral("E mail"), {m_f.email});
    m_f.note = captioned(new QPlainTextEdit, QStringLiteral("บันทึกเพิ่มเติม"));
    m_f.note->setObjectName(QStringLiteral("Note"));
    m_f.note->setTabChangesFocus(true);
    m_f.note->setMaximumHeight(90);
    k2->addRow(QStringLiteral("บันทึกเพิ่มเติม"), m_f.note);
    return m_record;
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

void CustomerScreen::bindFields()
{
    CustomerForm& f = *m_form;
    Customer& c = f.customer;
    FormBinding& b = *m_binding;
    auto text = [&b](auto* widget, QString& value) { b.text(widget, value); };
    text(m_f.code, c.code);
    text(m_f.group, c.group);
    text(m_f.title, c.prename);
    text(m_f.sex, c.sex);
    text(m_f.name, c.name);
    text(m_f.sname, c.sname);
    text(m_f.status, c.status);
    text(m_f.birth->lineEdit(), f.birthText);
    text(m_f.age, f.ageText);
    text(m_f.month, c.monthBirth);
    text(m_f.education, c.education);
    text(m_f.idNumber, c.idNumber);
    text(m_f.address, c.address);
    text(m_f.moo, c.moo);
    text(m_f.soi, c.soi);
    text(m_f.road, c.road);
    text(m_f.tumbol, c.tumbol);
    text(m_f.ampor, c.ampor);
    text(m_f.province, c.province);
    text(m_f.zip, c.zip);
    text(m_f.homePhone, c.homePhone);
    text(m_f.mobile, c.mobile);
    text(m_f.fax, c.fax);
    text(m_f.user1, c.user1);
    text(m_f.user2, c.user2);
    text(m_f.user3, c.user3);
    text(m_f.user4, f.user4Text);
    text(m_f.user5->lineEdit(), f.user5Text);
    text(m_f.email, c.email);
    text(m_f.note, c.note);
    text(m_f.spouse, c.spouse);
    text(m_f.spouseOcc, c.spouseOcc);
    text(m_f.spouseDetail, c.spouseDetail);

    // A date picked from the calendar fills the text (and age and month) at
    // once; a typed one counts at Enter, as the text is still being typed.
    auto picked = [this](ThaiDateEdit* field, const QDate& d) {
        return !m_binding->showing() && d.isValid() && !field->lineEdit()->hasFocus();
    };
    connect(m_f.birth, &ThaiDateEdit::dateChanged, this, [this, picked](const QDate& d) {
        if (picked(m_f.birth, d))
            run([this, d] { m_form->birthDatePicked(d); });
    });
    connect(m_f.user5, &ThaiDateEdit::dateChanged, this, [this, picked](const QDate& d) {
        if (picked(m_f.user5, d))
            run([this, d] { m_form->user5Picked(d); });
    });
    // Choices from the lists (not every keystroke).
    auto chosen = [this](QComboBox* box, std::function<void(const QString&)> command) {
        connect(box, &QComboBox::activated, this, [this, box, command] {
            const QString t = box->currentText();
            run([command, t] { command(t); });
        });
    };
    chosen(m_f.title, [this](const QString& t) { m_form->titleChosen(t); });
    chosen(m_f.province, [this](const QString& t) { m_form->address().provinceChosen(t); });
    chosen(m_f.ampor, [this](const QString& t) { m_form->address().districtChosen(t); });
    connect(m_f.tumbol, &QComboBox::activated, this, [this](int index) {
        const QString t = m_f.tumbol->itemText(index);
        run([this, t] { m_form->address().subDistrictChosen(t); });
    });
    connect(m_f.zip, &QLineEdit::editingFinished, this, [this] {
        if (m_form->customer.zip.trimmed().size() == 5 && m_form->customer.province.isEmpty())
            run([this] { m_form->address().postCodeEntered(); });
    });
}

void CustomerScreen::bindCommands()
{
    connect(m_cmd.add, &QPushButton::clicked, this, [this] {
        bool added = false;
        run([this, &added] { added = m_form->add(); });
        if (added) {
            m_f.code->setFocus();
            m_f.code->selectAll();
        }
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
    connect(m_cmd.check, &QPushButton::clicked, this,
            [this] { run([this] { m_form->checkIdNumber(); }); });
    connect(m_cmd.detail, &QPushButton::clicked, this,
            [this] { m_spousePanel->setVisible(!m_spousePanel->isVisible()); });
    connect(m_cmd.allDistricts, &QPushButton::clicked, this,
            [this] { run([this] { m_form->address().allDistricts(); }); });
    connect(m_cmd.allSubDistricts, &QPushButton::clicked, this,
            [this] { run([this] { m_form->address().allSubDistricts(); }); });
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

void CustomerScreen::setupEnterOrder()
{
    const QList<QWidget*> order = {
        m_f.code,     m_f.group, m_f.title,     m_f.sex,    m_f.name,      m_f.sname,
        m_f.status,   m_f.birth, m_f.age,       m_f.month,  m_f.education, m_f.idNumber,
        m_f.address,  m_f.moo,   m_f.soi,       m_f.road,   m_f.tumbol,    m_f.ampor,
        m_f.province, m_f.zip,   m_f.homePhone, m_f.mobile, m_f.fax,       m_f.user1,
        m_f.user2,    m_f.user3, m_f.user4,     m_f.user5,  m_f.email};
    auto keyTarget = [](QWidget* w) -> QObject* {
        if (auto* d = qobject_cast<ThaiDateEdit*>(w))
            return d->lineEdit();
        if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable())
            return c->lineEdit();
        return w;
    };
    auto focusTarget = [](QWidget* w) -> QWidget* {
        if (auto* d = qobject_cast<ThaiDateEdit*>(w))
            return d->lineEdit();
        return w;
    };
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QObject* from = keyTarget(order[i]);
        from->installEventFilter(this);
        m_enterNext.insert(from, focusTarget(order[i + 1]));
        if (from != order[i]) {
            order[i]->installEventFilter(this);
            m_enterNext.insert(order[i], focusTarget(order[i + 1]));
        }
    }
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
        if (QWidget* w = fieldOf(*refused))
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

QWidget* CustomerScreen::fieldOf(CustomerForm::Field field) const
{
    switch (field) {
    case CustomerForm::Field::Code:
        return m_f.code;
    case CustomerForm::Field::Name:
        return m_f.name;
    case CustomerForm::Field::IdNumber:
        return m_f.idNumber;
    case CustomerForm::Field::BirthDate:
        return m_f.birth->lineEdit();
    case CustomerForm::Field::Age:
        return m_f.age;
    case CustomerForm::Field::User4:
        return m_f.user4;
    case CustomerForm::Field::User5:
        return m_f.user5->lineEdit();
    case CustomerForm::Field::District:
        return m_f.ampor;
    case CustomerForm::Field::SubDistrict:
        return m_f.tumbol;
    case CustomerForm::Field::PostCode:
        return m_f.zip;
    case CustomerForm::Field::LongText:
        return findChild<QWidget*>(m_form->longTextColumn());
    }
    return nullptr;
}

void CustomerScreen::refreshLists()
{
    const CustomerForm& f = *m_form;
    platform::ui::showItems(m_f.group, f.groups);
    platform::ui::showItems(m_f.status, f.statuses);
    platform::ui::showItems(m_f.title, f.titles);
    platform::ui::showItems(m_f.province, f.address().provinces);
    platform::ui::showItems(m_f.ampor, f.address().districts);
    QStringList subs;
    for (const SubDistrict& s : f.address().subDistricts)
        subs << s.name;
    platform::ui::showItems(m_f.tumbol, subs);
    for (int i = 0; i < 5; ++i) {
        m_userLabels[i]->setText(f.userCaptions.value(i));
        m_userLabels[i]->buddy()->setAccessibleName(f.userCaptions.value(i));
    }
    m_f.user5->lineEdit()->setAccessibleName(f.userCaptions.value(4));
}

void CustomerScreen::refresh()
{
    refreshLists();
    m_binding->show();
    // The calendars open at the date shown.
    for (auto [picker, typed] :
         {std::pair{m_f.birth, m_form->birthText}, std::pair{m_f.user5, m_form->user5Text}}) {
        const QDate d = text::parseBuddhistDate(typed);
        if (d.isValid() && d != picker->date()) {
            const QSignalBlocker quiet(picker);
            picker->setDate(d);
        }
    }
    const CustomerForm::Commands cmd = m_form->commands();
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
    m_record->setEnabled(cmd.record && m_form->hasCurrent());
    m_spousePanel->setEnabled(cmd.record && m_form->hasCurrent());
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
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == m_ageLabel) {
            bool done = false;
            run([this, &done] { done = m_form->updateAllAges(); });
            if (done) {
                m_closing = true;
                close();
            }
            return true;
        }
        const QVariant part = watched->property("shopPart");
        if (part.isValid() && m_form->hasCurrent() && !m_form->readOnly()) {
            run([this, part] {
                m_form->address().fillFromShop(CustomerForm::ShopPart(part.toInt()));
            });
            return true;
        }
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_cmd.save && key->key() == Qt::Key_F3 &&
        key->modifiers() == Qt::ShiftModifier) {
        m_cmd.correctAll->setVisible(!m_form->readOnly());
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter)
        return QWidget::eventFilter(watched, event);
    if (watched == m_f.birth->lineEdit())
        run([this] { m_form->birthTextEntered(); });
    if (platform::ui::focusNext(m_enterNext, watched))
        return true;
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

#include "app/ui/screens.h"
#include "contracts/ui/contract_screen.h"
#include "customers/ui/customer_screen.h"
#include "customers/ui/lookup_editor_screen.h"
#include "mail_reading.h"
#include "platform/spreadsheet_writer.h"
#include "platform/ui/thai_date_edit.h"
#include "screenshot.h"
#include "smtp_server.h"
#include "temp_home.h"
#include "text/thai_text.h"
#include "typing.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

#include <gtest/gtest.h>

using namespace tawela;
using customers::CustomerForm;
using customers::CustomerScreen;

namespace {

// Chooses an entry of a list as a person does: from its pop-up.
void choose(QComboBox* box, const QString& entry)
{
    const int i = box->findText(entry);
    ASSERT_GE(i, 0) << entry.toStdString();
    box->setCurrentIndex(i);
    Q_EMIT box->activated(i);
}

} // namespace

TEST(CustomerScreen, AddPickTheAddressSaveAndFindTheCustomerFromTheContractScreen)
{
    test::TempDatabase customerDb(app::DatabaseRole::Customer);
    test::TempDatabase mainDb;
    platform::ScriptedPrompt prompt;
    auto form = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
    form->open({});
    CustomerScreen screen(std::move(form));
    screen.resize(1280, 800);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("ข้อมูลลูกค้า"));

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdAdd")), Qt::LeftButton);
    auto* code = screen.findChild<QLineEdit*>(QStringLiteral("C_code"));
    EXPECT_TRUE(code->hasFocus());
    const QString newCode = code->text();
    EXPECT_FALSE(newCode.isEmpty());
    EXPECT_TRUE(screen.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->isEnabled());
    QTest::keyClick(code, Qt::Key_Return); // Enter moves down the fields
    EXPECT_TRUE(screen.findChild<QComboBox*>(QStringLiteral("class"))->lineEdit()->hasFocus());

    // A paste longer than the column is cut where it is typed.
    auto* note = screen.findChild<QPlainTextEdit*>(QStringLiteral("Note"));
    note->insertPlainText(QString(5000, u'ก'));
    EXPECT_EQ(note->toPlainText().size(), 2000);
    note->clear();
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("C_name"))->maxLength(), 100);
    EXPECT_EQ(screen.findChild<QComboBox*>(QStringLiteral("C_Province"))->lineEdit()->maxLength(),
              100);
    test::typeText(screen.findChild<QLineEdit*>(QStringLiteral("C_name")), QStringLiteral("สมหญิง"));
    test::typeText(screen.findChild<QLineEdit*>(QStringLiteral("C_Sname")),
                   QStringLiteral("O'Neil"));
    test::typeText(screen.findChild<QLineEdit*>(QStringLiteral("C_ID")),
                   QStringLiteral("1101700230708"));
    choose(screen.findChild<QComboBox*>(QStringLiteral("C_Province")), QStringLiteral("ขอนแก่น"));
    choose(screen.findChild<QComboBox*>(QStringLiteral("C_Ampor")), QStringLiteral("เมืองขอนแก่น"));
    choose(screen.findChild<QComboBox*>(QStringLiteral("C_tumbol")), QStringLiteral("ในเมือง"));
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("zip"))->text(), QStringLiteral("40000"));
    // The birth date typed in Buddhist era gives the age on Enter.
    auto* birth = screen.findChild<platform::ThaiDateEdit*>(QStringLiteral("birthday"));
    birth->lineEdit()->setFocus();
    test::typeText(birth->lineEdit(), QStringLiteral("01/01/2530"));
    QTest::keyClick(birth->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(screen.findChild<QLineEdit*>(QStringLiteral("C_age"))->hasFocus());
    EXPECT_EQ(birth->lineEdit()->text(), QStringLiteral("01/01/2530"));
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("C_age"))->text(),
              QString::number(text::ageInYears(QDate(1987, 1, 1))));
    keepScreenshot(&screen, QStringLiteral("customer_new"));

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Data Saved"));
    EXPECT_FALSE(screen.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->isEnabled());
    auto* grid = screen.findChild<QTableView*>(QStringLiteral("DataGrid1"));
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->model()->index(0, 3).data().toString(), QStringLiteral("สมหญิง"));
    EXPECT_EQ(grid->model()->index(0, 46).data().toString(),
              QStringLiteral("ตำบลในเมือง")); // full_address2, derived
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("Adodc1"))->text(), QStringLiteral("1/1"));

    // The contract screen finds her by code, by ID number and by name.
    auto contractForm =
        std::make_unique<contracts::ContractForm>(mainDb.db, admin::Session{}, prompt);
    ASSERT_TRUE(contractForm->open());
    contractForm->customer().use(customerDb.db, {});
    contracts::ContractScreen contract(
        std::move(contractForm), std::make_unique<contracts::ContractList>(mainDb.db, prompt));
    contract.resize(1280, 720);
    contract.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&contract));
    auto* name = contract.findChild<QLineEdit*>(QStringLiteral("t9"));
    test::typeText(contract.findChild<QLineEdit*>(QStringLiteral("t22")), newCode);
    QTest::mouseClick(contract.findChild<QPushButton*>(QStringLiteral("cmdFindCode")),
                      Qt::LeftButton);
    EXPECT_EQ(name->text(), QStringLiteral("สมหญิง O'Neil"));
    EXPECT_TRUE(contract.findChild<QPlainTextEdit*>(QStringLiteral("t13"))
                    ->toPlainText()
                    .contains(QStringLiteral("อำเภอเมืองขอนแก่น  จ.ขอนแก่น 40000")));

    name->clear();
    test::typeText(name, QStringLiteral("สม"));
    QTest::mouseClick(contract.findChild<QPushButton*>(QStringLiteral("cmdFindName")),
                      Qt::LeftButton);
    auto* names = contract.findChild<QAbstractItemView*>(QStringLiteral("List1"));
    ASSERT_TRUE(names->isVisible());
    ASSERT_EQ(names->model()->rowCount(), 1);
    const QRect entry = names->visualRect(names->model()->index(0, 0));
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_FALSE(names->isVisible());
    EXPECT_EQ(contract.findChild<QLineEdit*>(QStringLiteral("t12"))->text(),
              QStringLiteral("1101700230708"));
    QApplication::processEvents(); // the layout after the list closed
    keepScreenshot(&contract, QStringLiteral("contract_customer_found"));
}

TEST(CustomerScreen, EachLookupEditorOpensWithItsGrid)
{
    test::TempDatabase customerDb(app::DatabaseRole::Customer);
    platform::ScriptedPrompt prompt;
    using Kind = customers::LookupEditorForm::Kind;
    for (Kind kind :
         {Kind::Groups, Kind::Statuses, Kind::Titles, Kind::UserFields, Kind::PostalCodes}) {
        customers::LookupEditorScreen editor(
            std::make_unique<customers::LookupEditorForm>(customerDb.db, kind, prompt), prompt);
        editor.setAttribute(Qt::WA_DeleteOnClose, false);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        EXPECT_GT(editor.grid()->model()->columnCount(), 0);
        keepScreenshot(&editor, QStringLiteral("editor_") + editor.objectName());
        if (kind == Kind::PostalCodes) {
            auto* province = editor.findChild<QComboBox*>(QStringLiteral("cboProvince"));
            choose(province, QStringLiteral("ตราด"));
            EXPECT_LT(editor.grid()->model()->rowCount(), 100);
            EXPECT_EQ(editor.grid()->model()->index(0, 2).data().toString(),
                      QStringLiteral("ตราด"));
        }
    }
}

// The screens as the program composes them: "ตาราง ลูกค้า" on the contract
// screen opens the customer file as a picker, and "เลือก" hands the customer
// back and closes it.
TEST(CustomerScreen, PickedFromTheContractScreenAsTheProgramComposesThem)
{
    test::TempHome home;
    const app::AppConfig config = home.setUp();
    app::Connections connections;
    connections.open(config);
    customers::CustomerStore(connections.customer()).addBare([] {
        customers::Customer c;
        c.code = QStringLiteral("K1");
        c.name = QStringLiteral("มาลี");
        c.homePhone = QStringLiteral("043-123456");
        return c;
    }());
    platform::ScriptedPrompt prompt;
    reports::PrinterChoice printer;
    app::ScreenRegistry screens;
    const admin::Session session; // the makers keep it, as the program's session
    const app::ScreenMakers makers =
        app::composeScreens(config, connections, session, prompt, printer, screens);
    std::unique_ptr<QWidget> contract(makers.contracts());
    ASSERT_TRUE(contract);
    contract->show();
    QTest::mouseClick(contract->findChild<QPushButton*>(QStringLiteral("cmdCustomerTable")),
                      Qt::LeftButton);
    QWidget* picker = screens.find(QStringLiteral("customer"));
    ASSERT_TRUE(picker);
    auto* pick = picker->findChild<QPushButton*>(QStringLiteral("cmdPick"));
    ASSERT_TRUE(pick->isVisible());
    QTest::mouseClick(pick, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(screens.isOpen(QStringLiteral("customer")));
    EXPECT_EQ(contract->findChild<QLineEdit*>(QStringLiteral("t22"))->text(), QStringLiteral("K1"));
    EXPECT_EQ(contract->findChild<QLineEdit*>(QStringLiteral("t19"))->text(),
              QStringLiteral("043-123456  "));
}

TEST(CustomerScreen, FindAndFilterPanels)
{
    test::TempDatabase customerDb(app::DatabaseRole::Customer);
    test::TempDatabase mainDb;
    customers::CustomerStore store(customerDb.db);
    for (const char* n : {"สมชาย", "มาลี", "สมศักดิ์"}) {
        customers::Customer c;
        c.name = QString::fromUtf8(n);
        c.province =
            c.name == QStringLiteral("มาลี") ? QStringLiteral("ระยอง") : QStringLiteral("ชลบุรี");
        store.addBare(c);
    }
    customerDb.db->exec(
        QStringLiteral("UPDATE customer SET C_Province = 'ชลบุรี' WHERE C_name <> 'มาลี'"));
    platform::ScriptedPrompt prompt;
    auto form = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
    form->open({});
    QTemporaryDir exports;
    form->spreadsheets().use(exports.path(), QStringLiteral("Laksaman"));
    QStringList opened;
    CustomerScreen screen(std::move(form), {}, [&](const QString& file) { opened << file; });
    screen.resize(1280, 800);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdFind")), Qt::LeftButton);
    EXPECT_FALSE(screen.findChild<QPushButton*>(QStringLiteral("cmdSave"))->isEnabled());
    choose(screen.findChild<QComboBox*>(QStringLiteral("cboFindField")),
           QStringLiteral("ชื่อ / บริษัท"));
    auto* key = screen.findChild<QComboBox*>(QStringLiteral("cboFindKey"));
    test::typeText(key->lineEdit(), QStringLiteral("สม"));
    EXPECT_EQ(key->count(), 2);                          // the names that begin with it
    EXPECT_EQ(key->currentText(), QStringLiteral("สม")); // nothing filled in ahead
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdFindFirst")),
                      Qt::LeftButton);
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("C_name"))->text(),
              QStringLiteral("สมศักดิ์"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdFindNext")),
                      Qt::LeftButton);
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("C_name"))->text(),
              QStringLiteral("สมชาย"));
    keepScreenshot(&screen, QStringLiteral("customer_find"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdFindClose")),
                      Qt::LeftButton);

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdFilter")), Qt::LeftButton);
    choose(screen.findChild<QComboBox*>(QStringLiteral("cboFilterField")), QStringLiteral("จังหวัด"));
    auto* value = screen.findChild<QComboBox*>(QStringLiteral("cboFilterValue"));
    choose(value, QStringLiteral("ชลบุรี"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdFilterRun")),
                      Qt::LeftButton);
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("Adodc1"))->text(), QStringLiteral("1/2"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdFilterAdvanced")),
                      Qt::LeftButton);
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdAddCommand")),
                      Qt::LeftButton);
    EXPECT_EQ(screen.findChild<QPlainTextEdit*>(QStringLiteral("txtCommand"))->toPlainText(),
              QStringLiteral("C_Province  =  'ชลบุรี'"));
    QApplication::processEvents();
    keepScreenshot(&screen, QStringLiteral("customer_filter"));

    // The filtered customers go to the spreadsheet program.
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdExitAdvanced")),
                      Qt::LeftButton);
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdAll2Excel")),
                      Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(opened.first()));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdOne2Excel")),
                      Qt::LeftButton);
    EXPECT_EQ(opened.size(), 2);
    if (const QString dir = qEnvironmentVariable("TAWELA_SCREENSHOTS"); !dir.isEmpty())
        QFile::copy(opened.last(), dir + QStringLiteral("/record_card.xlsx"));
}

namespace {

// A customer file holding one customer, สมชาย, beside a main database.
struct OneCustomer {
    static QString add(const std::shared_ptr<platform::db::Database>& db)
    {
        customers::Customer c;
        c.name = QStringLiteral("สมชาย");
        return customers::CustomerStore(db).addBare(c).code;
    }
    test::TempDatabase customerDb{app::DatabaseRole::Customer};
    test::TempDatabase mainDb;
    QString code = add(customerDb.db);
};

} // namespace

TEST(CustomerScreen, ReportPanelAndHistory)
{
    OneCustomer shop;
    auto& [customerDb, mainDb, code] = shop;
    mainDb.db->exec(QStringLiteral("INSERT INTO spending (description, tt_price, s_date, c_code) "
                                   "VALUES ('ขายฝาก แหวนทอง', 50000000, '2025-05-14', ?), "
                                   "('ขายฝาก สร้อย', 10000000, '2025-07-01', ?)"),
                    {code, code});
    platform::ScriptedPrompt prompt;
    auto form = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
    QList<platform::ReportRequest> printed;
    form->reports().use({[&](const platform::ReportRequest& r) { printed << r; }, {}, {}});
    form->open({});
    CustomerScreen screen(std::move(form));
    screen.resize(1280, 800);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));

    auto* panel = screen.findChild<QWidget*>(QStringLiteral("Frame_report"));
    EXPECT_FALSE(panel->isVisible());
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdReport")), Qt::LeftButton);
    EXPECT_TRUE(panel->isVisible());
    QTest::mouseClick(screen.findChild<QAbstractButton*>(QStringLiteral("optReport2")),
                      Qt::LeftButton);
    auto* left = screen.findChild<QLineEdit*>(QStringLiteral("txtLeft"));
    EXPECT_EQ(left->text(), QStringLiteral("0"));
    left->selectAll();
    test::typeText(left, QStringLiteral("3"));
    keepScreenshot(&screen, QStringLiteral("customer_reports"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdPrintReport")),
                      Qt::LeftButton);
    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed[0].file, QStringLiteral("\\label2.rpt"));
    EXPECT_EQ(printed[0].shiftLeft, 3);
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdReportClose")),
                      Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());

    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdHistory")), Qt::LeftButton);
    auto* grid = screen.findChild<QTableWidget*>(QStringLiteral("grdHistory"));
    ASSERT_TRUE(grid->isVisible());
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("-1000.00")); // newest first, paid out
    EXPECT_EQ(grid->item(0, 2)->text(), QStringLiteral("01/07/2568"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("ยอดรวม"));
    QApplication::processEvents();
    // Room for five rows of history, and the screen still within 1280 x 800.
    EXPECT_GE(grid->viewport()->height(), 5 * grid->verticalHeader()->defaultSectionSize());
    EXPECT_EQ(buttonsOutside(&screen, QSize(1280, 760)), QStringList());
    keepScreenshot(&screen, QStringLiteral("customer_history"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdPrintHistory")),
                      Qt::LeftButton);
    EXPECT_EQ(printed.last().file, QStringLiteral("Hist.rpt"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdHistory")), Qt::LeftButton);
    EXPECT_FALSE(grid->isVisible());
}

TEST(CustomerScreen, APictureChosenNamedAndViewed)
{
    OneCustomer shop;
    auto& [customerDb, mainDb, code] = shop;
    QTemporaryDir pics;
    const QString file = pics.filePath(QStringLiteral("บ้าน.jpg"));
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(file, "JPG"));
    platform::ScriptedPrompt prompt;
    auto form = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
    form->open({});
    CustomerScreen screen(std::move(form));
    QList<std::optional<QString>> answers{file, std::nullopt};
    QStringList titles;
    screen.setFileChooser([&](const QString& title, const QStringList& filters, int selected,
                              const QString&) -> std::optional<QString> {
        titles << title + u'|' + filters.value(selected);
        return answers.takeFirst();
    });
    screen.resize(1280, 800);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));

    auto* choose = screen.findChild<QPushButton*>(QStringLiteral("cmdChoose1"));
    QTest::mouseClick(choose, Qt::LeftButton);
    QTest::mouseClick(choose, Qt::LeftButton); // cancelled: the path stays
    EXPECT_TRUE(titles.first().startsWith(QStringLiteral("กำหนดที่อยู่ของแฟ้มภาพ|All Image Files")));
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("image1"))->text(), file);
    auto* name = screen.findChild<QLineEdit*>(QStringLiteral("dt_im1"));
    QTest::mouseDClick(name, Qt::LeftButton);
    EXPECT_EQ(name->text(), QStringLiteral("บ้าน.jpg"));
    // A double-click on the frame lifts it to the top of its column, and back.
    auto* frame = screen.findChild<QWidget*>(QStringLiteral("Frame_pictures"));
    auto* column = qobject_cast<QBoxLayout*>(frame->parentWidget()->layout());
    ASSERT_TRUE(column);
    const int foot = column->indexOf(frame);
    EXPECT_GT(foot, 0);
    QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(frame->width() / 2, 8));
    EXPECT_EQ(column->indexOf(frame), 0);
    QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(frame->width() / 2, 8));
    EXPECT_EQ(column->indexOf(frame), foot);
    keepScreenshot(&screen, QStringLiteral("customer_pictures"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdView1")), Qt::LeftButton);
    QWidget* viewer = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("PictureViewer") && w->isVisible())
            viewer = w;
    ASSERT_TRUE(viewer);
    QTest::keyClick(viewer, Qt::Key_Escape);
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    EXPECT_EQ(customerDb.db->scalar(QStringLiteral("SELECT dt_im1 FROM customer")).toString(),
              QStringLiteral("บ้าน.jpg"));
}

TEST(CustomerScreen, MailSetUpAndSentWithAnAttachment)
{
    test::SmtpServer server;
    if (!server.available())
        GTEST_SKIP() << server.why().toStdString();
    OneCustomer shop;
    shop.customerDb.db->exec(QStringLiteral("UPDATE customer SET email = 'somchai@example.com'"));
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("ใบแจ้ง.pdf"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("%PDF-1.4\n");
    out.close();
    platform::ScriptedPrompt prompt;
    auto form = std::make_unique<CustomerForm>(shop.customerDb.db, shop.mainDb.db, admin::Session{},
                                               prompt);
    form->mail().use(home.filePath(QStringLiteral("mail.ini")));
    form->open({});
    CustomerScreen screen(std::move(form));
    QString startedIn;
    screen.setFileChooser([&](const QString&, const QStringList&, int, const QString& start) {
        startedIn = start;
        return std::optional<QString>(file);
    });
    screen.resize(1280, 800);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));

    auto* panel = screen.findChild<QWidget*>(QStringLiteral("Frame_mail"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdMail")), Qt::LeftButton);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("txtTo"))->text(),
              QStringLiteral("somchai@example.com"));

    // The account, set in its dialog.
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog);
        dialog->findChild<QLineEdit*>(QStringLiteral("txtServer"))
            ->setText(QStringLiteral("127.0.0.1"));
        dialog->findChild<QSpinBox*>(QStringLiteral("txtPort"))->setValue(server.port());
        auto* security = dialog->findChild<QComboBox*>(QStringLiteral("cboSecurity"));
        security->setCurrentIndex(2);
        dialog->findChild<QLineEdit*>(QStringLiteral("txtSender"))
            ->setText(QStringLiteral("shop@example.com"));
        keepScreenshot(dialog, QStringLiteral("customer_mail_settings"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSaveMail")),
                          Qt::LeftButton);
    });
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdMailSettings")),
                      Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("mail.ini"))));

    test::typeText(screen.findChild<QLineEdit*>(QStringLiteral("txtSubject")),
                   QStringLiteral("ใบแจ้งหนี้"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdAttach")), Qt::LeftButton);
    EXPECT_EQ(startedIn, home.path());
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("txtAttachment"))->text(), file);
    keepScreenshot(&screen, QStringLiteral("customer_mail"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdSend")), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !prompt.messages().isEmpty(); }, 15000));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("เมล์ ส่งเรียบร้อย"));
    EXPECT_FALSE(panel->isVisible());
    const auto got = server.received();
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].recipients, QStringList{QStringLiteral("somchai@example.com")});
    EXPECT_EQ(test::attachmentName(got[0].data), QStringLiteral("ใบแจ้ง.pdf"));
}

TEST(CustomerScreen, ASheetIsImportedFromTheToolsMenuAndABrokenOneIsSaid)
{
    test::TempDatabase customerDb(app::DatabaseRole::Customer);
    test::TempDatabase mainDb;
    platform::ScriptedPrompt prompt;
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("ลูกค้า.xlsx"));
    {
        platform::SpreadsheetWriter w(good, {QStringLiteral("Sheet1"), QString(), 12, true});
        w.text(0, 0, QStringLiteral("รหัสลูกค้า"));
        w.text(1, 0, QStringLiteral("N7"));
        w.text(1, 1, QStringLiteral("นาย"));
        w.text(1, 2, QStringLiteral("สมปอง"));
        w.finish();
    }
    const QString empty = folder.filePath(QStringLiteral("ว่าง.xlsx"));
    QFile(empty).open(QIODevice::WriteOnly);

    for (const QString& file : {empty, good}) {
        SCOPED_TRACE(file.toStdString());
        auto form =
            std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
        form->open({});
        CustomerScreen screen(std::move(form));
        screen.setImportFolder(folder.path());
        screen.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
        // The file dialog gets the file's name typed, as a person would.
        QTimer chooser;
        QObject::connect(&chooser, &QTimer::timeout, [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible())
                return;
            d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
            QMetaObject::invokeMethod(d, "accept");
            chooser.stop();
        });
        chooser.start(50);
        // While the rows go in, no other window takes a click.
        std::optional<Qt::WindowModality> importing;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* p = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                importing = p->windowModality();
        });
        watch.start(0);
        prompt.clear();
        screen.findChild<QAction*>(QStringLiteral("mnuImport"))->trigger();
        watch.stop();
        if (file == good) {
            EXPECT_EQ(importing, Qt::ApplicationModal);
        }
        ASSERT_FALSE(prompt.messages().isEmpty());
        if (file == empty) {
            EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("แฟ้มว่าง (0 ไบต์)")));
            EXPECT_TRUE(screen.isVisible()); // nothing imported: the screen stays
        } else {
            EXPECT_EQ(prompt.lastText(), QStringLiteral("Data saved "));
            EXPECT_EQ(
                customerDb.db
                    ->scalar(QStringLiteral("SELECT C_name FROM customer WHERE C_code = 'N7'"))
                    .toString(),
                QStringLiteral("สมปอง"));
        }
    }
}

TEST(CustomerScreen, EveryPanelFitsTheShopsScreensWithFiveRowsOfTheList)
{
    test::TempDatabase customerDb(app::DatabaseRole::Customer);
    test::TempDatabase mainDb;
    customers::CustomerStore store(customerDb.db);
    for (int i = 0; i < 12; ++i) {
        customers::Customer c;
        c.name = QStringLiteral("ลูกค้า %1").arg(i);
        store.addBare(c);
    }
    platform::ScriptedPrompt prompt;
    auto form = std::make_unique<CustomerForm>(customerDb.db, mainDb.db, admin::Session{}, prompt);
    form->reports().use({[](const platform::ReportRequest&) {}, {}, {}});
    form->open({});
    CustomerScreen screen(std::move(form));
    screen.setAttribute(Qt::WA_DeleteOnClose, false);
    auto click = [&](const char* name) {
        auto* b = screen.findChild<QPushButton*>(QLatin1String(name));
        ASSERT_TRUE(b && b->isVisible()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    };
    // Each panel as the person opens it, and closes it again.
    const std::pair<std::vector<const char*>, std::vector<const char*>> panels[] = {
        {{"cmdFind"}, {"cmdFindClose"}},
        {{"cmdFilter", "cmdFilterAdvanced"}, {"cmdExitAdvanced"}},
        {{"cmdReport"}, {"cmdReportClose"}},
        {{"cmdMail"}, {"cmdMail"}},
    };
    auto* grid = screen.findChild<QTableView*>(QStringLiteral("DataGrid1"));
    for (const QSize& size : shopScreens()) {
        for (const auto& [open, close] : panels) {
            SCOPED_TRACE(std::string(open.back()) + " at " + std::to_string(size.width()));
            screen.resize(size);
            screen.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
            for (const char* b : open)
                click(b);
            EXPECT_EQ(buttonsOutside(&screen, size), QStringList());
            const int rows =
                grid->viewport()->height() / grid->verticalHeader()->defaultSectionSize();
            EXPECT_GE(rows, 5);
            keepScreenshot(
                &screen,
                QStringLiteral("customer_%1_%2").arg(QLatin1String(open.back())).arg(size.width()));
            for (const char* b : close)
                click(b);
        }
    }
}

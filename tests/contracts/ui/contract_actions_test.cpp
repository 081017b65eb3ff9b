#include "app/main_menu.h"
#include "app/ui/main_menu_window.h"
#include "app/ui/screen_registry.h"
#include "contracts/ui/contract_screen.h"
#include "contracts/ui/table_editor_screen.h"
#include "platform/ui/twips.h"
#include "screenshot.h"
#include "shop_builder.h"
#include "temp_home.h"
#include "typing.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;

namespace {

// A shop with one open contract started ten days ago for 30 days, shown on
// the screen as found from the list.
class ContractActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::rateRows(t.db, "fee_table1", {{30, "3"}});
        admin::Settings s = admin::loadSettings(t.db);
        s.dInteresRate = QStringLiteral("จริง");
        s.preRecv = QStringLiteral("R");
        s.recvtaiCfg = QStringLiteral("2");
        s.recvtorCfg = QStringLiteral("2");
        s.torCfg = QStringLiteral("2");
        s.payanOne = QStringLiteral("นางพยาน หนึ่ง");
        admin::saveSettings(t.db, s);
        session.employeeName = QStringLiteral("สมศรี");
        test::openContract(t.db);
    }

    void open()
    {
        auto form = std::make_unique<ContractForm>(t.db, session, prompt,
                                                   [this](const PrintOrder& o) { orders << o; });
        ASSERT_TRUE(form->open());
        screen = std::make_unique<ContractScreen>(std::move(form),
                                                  std::make_unique<ContractList>(t.db, prompt));
        // The size it takes on a shop's 1366 × 768 screen (the test screen is smaller).
        screen->resize(platform::twipsX(screen.get(), 20000),
                       platform::twipsY(screen.get(), 10500));
        screen->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(screen.get()));
        auto* value = find<QComboBox>("combo10");
        value->setEditText(QStringLiteral("68-01-4-0001"));
        Q_EMIT value->lineEdit()->returnPressed();
        ASSERT_EQ(screen->form().contract.kuName, QStringLiteral("นายดี มีทรัพย์"));
    }

    template <typename W> W* find(const char* name)
    {
        W* w = screen->findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    QWidget* currentPanel() { return find<QStackedWidget>("actionArea")->currentWidget(); }
    QString cell(int row, int col)
    {
        return find<QTableWidget>("MSFlexGrid1")->item(row, col)->text();
    }
    QVariant value(const char* sql) { return t.db->scalar(QLatin1String(sql)); }

    test::TempDatabase t;
    admin::Session session;
    platform::ScriptedPrompt prompt;
    QList<PrintOrder> orders;
    std::unique_ptr<ContractScreen> screen;
};

} // namespace

TEST_F(ContractActionsTest, RenewTwiceThenSave)
{
    open();
    click("cmdRenew");
    ASSERT_EQ(currentPanel()->objectName(), QStringLiteral("Frame1"));
    EXPECT_TRUE(find<QLineEdit>("Text4")->hasFocus());
    EXPECT_EQ(find<QLineEdit>("Text4")->text(), QStringLiteral("1"));
    EXPECT_EQ(find<QLabel>("Label35")->text(), QStringLiteral("จำนวนวันฝากนับถึงปัจจุบัน = 10"));
    auto* penalty = find<QLineEdit>("Text27");
    penalty->selectAll();
    QTest::keyClicks(penalty, QStringLiteral("25"));
    EXPECT_EQ(find<QLineEdit>("Text21")->text(), QStringLiteral("325"));
    keepScreenshot(screen.get(), QStringLiteral("contract_renewal"));
    click("Command18");
    EXPECT_EQ(currentPanel()->objectName(), QStringLiteral("blank"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("300.00"));
    EXPECT_EQ(cell(0, 4), QStringLiteral("25.00"));
    EXPECT_EQ(cell(0, 5), QStringLiteral(".00"));
    EXPECT_EQ(cell(0, 6), QStringLiteral("325.00"));

    click("cmdRenew");
    EXPECT_EQ(find<QLineEdit>("Text4")->text(), QStringLiteral("2"));
    click("Command18");
    EXPECT_EQ(cell(1, 0), QStringLiteral("2"));
    keepScreenshot(screen.get(), QStringLiteral("contract_renewed_twice"));

    click("cmdSave");
    ASSERT_EQ(prompt.lastText(), QStringLiteral("Data Saved"));
    EXPECT_EQ(value("SELECT count(*) FROM chumnum_tor").toInt(), 2);
    EXPECT_EQ(value("SELECT count(*) FROM service").toInt(), 1);
    EXPECT_EQ(value("SELECT tt_price FROM service").toLongLong(),
              screen->form().lines[0].total.units() + screen->form().lines[1].total.units());
    ASSERT_EQ(orders.size(), 2);
    EXPECT_EQ(orders[0].jobs[0].file, QStringLiteral("recv_1.rpt"));
    EXPECT_EQ(orders[1].jobs[0].file, QStringLiteral("TOR_A4.rpt"));
}

TEST_F(ContractActionsTest, ADiscountAboveTheFeeIsRefusedWithTheCursorOnIt)
{
    open();
    click("cmdRenew");
    auto* discount = find<QLineEdit>("Text31");
    discount->selectAll();
    QTest::keyClicks(discount, QStringLiteral("5000"));
    EXPECT_EQ(find<QLineEdit>("Text21")->text(), QStringLiteral("-4700"));
    click("Command18");
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("ส่วนลดได้ไม่เกิน 300.00 บาท")));
    EXPECT_EQ(currentPanel()->objectName(), QStringLiteral("Frame1")); // the panel stays
    EXPECT_TRUE(discount->hasFocus());
    EXPECT_TRUE(screen->form().lines.isEmpty());
    click("cmdSave");
    EXPECT_EQ(value("SELECT count(*) FROM service").toInt(), 0);
    EXPECT_EQ(value("SELECT count(*) FROM chumnum_tor").toInt(), 0);
}

TEST_F(ContractActionsTest, HistoryRowsAreMarkedAndCorrected)
{
    t.db->exec(QStringLiteral("INSERT INTO chumnum_tor (policy_no, line_no, Amount, fee, plub, "
                              "discount, total, fak_date, return_date) VALUES ('68-01-4-0001', "
                              "1, 0, 3000000, 0, 0, 3000000, '2025-01-01', '2025-01-31')"));
    open();
    auto* grid = find<QTableWidget>("MSFlexGrid1");
    EXPECT_EQ(cell(0, 7), QStringLiteral("01/01/2568"));
    EXPECT_TRUE(grid->isColumnHidden(1));
    grid->setCurrentCell(0, 3);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(cell(0, 0), QStringLiteral("X"));
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(cell(0, 0), QStringLiteral("1"));

    Q_EMIT grid->cellDoubleClicked(0, 3);
    ASSERT_EQ(currentPanel()->objectName(), QStringLiteral("Frame10"));
    auto* fee = find<QLineEdit>("Text35");
    EXPECT_EQ(fee->text(), QStringLiteral("300"));
    fee->selectAll();
    QTest::keyClicks(fee, QStringLiteral("280"));
    EXPECT_EQ(find<QLineEdit>("Text34")->text(), QStringLiteral("280"));
    click("Command29");
    EXPECT_EQ(cell(0, 6), QStringLiteral("280.00"));
}

TEST_F(ContractActionsTest, TheRedemptionPanelShowsTheLawfulMaximumAndItsButtonUsesIt)
{
    admin::Settings s = admin::loadSettings(t.db);
    s.legalCheck = true;
    admin::saveSettings(t.db, s);
    open();
    click("cmdRedeem");
    // Ten days after it was made: 10,000 + 10,000 × 15 % × 10 ÷ 365 = 10,041.10.
    EXPECT_EQ(find<QLineEdit>("txtLawful")->text(), QStringLiteral("10041.10"));
    EXPECT_TRUE(find<QLineEdit>("Text24")->styleSheet().contains(QStringLiteral("#c00000")));
    ASSERT_TRUE(find<QPushButton>("cmdLawful")->isVisible());
    keepScreenshot(screen.get(), QStringLiteral("contract_redemption_lawful"));
    click("cmdLawful");
    EXPECT_EQ(find<QLineEdit>("Text30")->text(), QStringLiteral("258.9"));
    EXPECT_EQ(find<QLineEdit>("Text24")->text(), QStringLiteral("10041.1"));
    EXPECT_TRUE(find<QLineEdit>("Text24")->styleSheet().isEmpty());
    EXPECT_FALSE(find<QPushButton>("cmdLawful")->isVisible());
    click("Command26");
    EXPECT_EQ(value("SELECT tt_price FROM service").toLongLong(), 100411000);
    EXPECT_TRUE(value("SELECT description FROM service")
                    .toString()
                    .endsWith(QStringLiteral("(ยอดไถ่ถอนตามกฎหมาย)")));
}

TEST_F(ContractActionsTest, RedeemThroughThePanel)
{
    open();
    click("cmdRedeem");
    ASSERT_EQ(currentPanel()->objectName(), QStringLiteral("Frame8"));
    EXPECT_EQ(find<QGroupBox>("Frame8")->title(), QStringLiteral("ไถ่ถอน"));
    EXPECT_EQ(find<QLabel>("Label11")->text(), QStringLiteral("ต้องการไถ่ถอนสัญญานี้ใช่หรือไม่"));
    EXPECT_EQ(find<QLineEdit>("Text28")->text(), QStringLiteral("-20"));
    EXPECT_EQ(find<QLineEdit>("Text26")->text(), QStringLiteral("10300"));
    EXPECT_EQ(find<QLineEdit>("Text24")->text(), QStringLiteral("10300"));
    EXPECT_TRUE(find<QPushButton>("Command26")->hasFocus());
    keepScreenshot(screen.get(), QStringLiteral("contract_redemption"));
    click("Command26");
    EXPECT_EQ(value("SELECT P_status FROM chumnum").toInt(), 0);
    EXPECT_EQ(value("SELECT s_group2 FROM service").toString(), QStringLiteral("ไถ่ถอน"));
    EXPECT_TRUE(find<QLabel>("lblClosed")->isVisible());
    EXPECT_FALSE(find<QLabel>("lblForfeited")->isVisible());
    for (const char* name : {"cmdSave", "cmdRenew", "cmdRedeem", "cmdForfeit"})
        EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name;
    ASSERT_EQ(orders.size(), 1);
    EXPECT_EQ(orders[0].jobs[0].kind, QStringLiteral("ใบเสร็จรับเงิน"));

    // Found again under the closed contracts: the closing figures, read-only.
    QTest::mouseClick(find<QRadioButton>("option2"), Qt::LeftButton);
    auto* value = find<QComboBox>("combo10");
    value->setEditText(QStringLiteral("68-01-4-0001"));
    Q_EMIT value->lineEdit()->returnPressed();
    EXPECT_EQ(currentPanel()->objectName(), QStringLiteral("Frame8"));
    EXPECT_FALSE(find<QPushButton>("Command26")->isVisible());
    EXPECT_TRUE(find<QLineEdit>("Text24")->isReadOnly());
    keepScreenshot(screen.get(), QStringLiteral("contract_closed"));
}

TEST_F(ContractActionsTest, ForfeitThroughThePanel)
{
    open();
    prompt.queueAnswer(platform::PromptAnswer::Yes); // not yet due: asked
    click("cmdForfeit");
    EXPECT_EQ(prompt.lastText(), QStringLiteral("สัญญายังไม่เกินกำหนด ต้องการปิดสัญญาและทำสินค้าหลุดจำนำ ?"));
    EXPECT_EQ(find<QGroupBox>("Frame8")->title(), QStringLiteral("หลุดจำนำ"));
    EXPECT_EQ(find<QLineEdit>("Text28")->text(), QStringLiteral("10"));
    EXPECT_EQ(find<QLineEdit>("Text24")->text(), QStringLiteral("0"));
    keepScreenshot(screen.get(), QStringLiteral("contract_forfeiture"));
    click("Command26");
    EXPECT_EQ(value("SELECT over_due FROM chumnum").toInt(), 1);
    EXPECT_EQ(value("SELECT count(*) FROM service").toInt(), 0);
    EXPECT_TRUE(find<QLabel>("lblForfeited")->isVisible());
    EXPECT_TRUE(orders.isEmpty());
}

TEST_F(ContractActionsTest, DeleteClosesTheScreen)
{
    open();
    click("cmdDelete");
    ASSERT_EQ(currentPanel()->objectName(), QStringLiteral("Frame7"));
    click("Command24"); // not deleted
    EXPECT_EQ(value("SELECT count(*) FROM chumnum").toInt(), 1);
    click("cmdDelete");
    click("Command25");
    EXPECT_EQ(prompt.lastText(), QStringLiteral("สัญญานี้ถูกลบแล้ว"));
    EXPECT_EQ(value("SELECT count(*) FROM chumnum").toInt(), 0);
    EXPECT_FALSE(screen->isVisible());
}

TEST_F(ContractActionsTest, ReprintTheTickedDocument)
{
    open();
    click("cmdDocuments");
    ASSERT_EQ(currentPanel()->objectName(), QStringLiteral("Frame12"));
    EXPECT_EQ(find<QRadioButton>("Option12")->text(), QStringLiteral("ใบขายฝาก  ใหญ่"));
    keepScreenshot(screen.get(), QStringLiteral("contract_reprint"));
    click("Command43"); // nothing ticked: the large ticket
    find<QRadioButton>("Option4")->setChecked(true);
    click("Command43");
    ASSERT_EQ(orders.size(), 2);
    EXPECT_EQ(orders[0].jobs[0].file, QStringLiteral("sanya2.rpt"));
    EXPECT_EQ(orders[1].jobs[0].file, QStringLiteral("CARD.rpt"));
    EXPECT_EQ(orders[1].jobs[0].kind, QStringLiteral("การ์ดต่อดอก"));
    EXPECT_EQ(currentPanel()->objectName(), QStringLiteral("Frame12")); // stays open
    click("Command42");
    EXPECT_TRUE(find<QPushButton>("cmdDocuments")->hasFocus());
}

TEST_F(ContractActionsTest, EnterOrderWitnessAndGoodsLimit)
{
    open();
    auto* number = find<QLineEdit>("t0");
    number->setFocus();
    const char* order[] = {"t67", "t1", "t2", "t32", "t4"};
    for (const char* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(find<QLineEdit>(next)->hasFocus()) << next;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(find<QComboBox>("combo2")->hasFocus());
    find<QLineEdit>("t19")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    auto* address = find<QPlainTextEdit>("t13");
    EXPECT_TRUE(address->hasFocus());
    QTest::keyClick(address, Qt::Key_Return);
    EXPECT_TRUE(find<QPlainTextEdit>("text2")->hasFocus());

    // The goods description stops at 255 characters, pasted or typed.
    auto* goods = find<QPlainTextEdit>("text22");
    goods->setPlainText(QString(300, u'ก'));
    EXPECT_EQ(goods->toPlainText().size(), 255);

    // Double-clicking the witness label fills in the shop's witness.
    QTest::mouseDClick(find<QLabel>("lblPayan1"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>("t1")->text(), QStringLiteral("นางพยาน หนึ่ง"));
}

TEST_F(ContractActionsTest, RightsShapeTheScreen)
{
    session.card = QStringLiteral("ไม่อนุญาต");
    session.blacklist = QStringLiteral("ไม่อนุญาต");
    open();
    EXPECT_FALSE(find<QGroupBox>("F1")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("cmdDelete")->isVisible());
    EXPECT_FALSE(find<QTableWidget>("MSFlexGrid1")->isEnabled());
    EXPECT_FALSE(find<QToolButton>("mnu_tools")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("cmdFeeTable")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("cmdDeductTable")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("cmdSave")->isEnabled());
    // Card governs changing a stored contract, not entering a new one.
    click("cmdNew");
    EXPECT_TRUE(find<QGroupBox>("F1")->isEnabled());
    EXPECT_TRUE(find<QGroupBox>("F2")->isEnabled());

    screen.reset();
    session = {};
    session.policy = QStringLiteral("อ่านอย่างเดียว");
    open();
    for (const char* name : {"cmdNew", "cmdSave", "cmdRenew", "cmdExit"})
        EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_FALSE(find<QGroupBox>("F3")->isEnabled());
}

TEST_F(ContractActionsTest, TheRateTableButtonsOpenTheEditorOfTheChosenTable)
{
    open();
    find<QComboBox>("combo6")->setCurrentText(QStringLiteral("2"));
    click("cmdDeductTable");
    auto* editor = screen->findChild<TableEditorScreen*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->windowTitle().contains(QStringLiteral("2")))
        << editor->windowTitle().toStdString();
    editor->close();
}

TEST(ContractScreenFromTheMenu, TheMainMenuOpensIt)
{
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
    admin::Session session;
    session.policy = QStringLiteral("อนุญาต");
    app::MainMenuForm menuForm(session, t.db, prompt);
    app::ScreenRegistry screens;
    QWidget* opened = nullptr;
    app::ScreenMakers makers;
    makers.contracts = [&]() -> QWidget* {
        auto form = std::make_unique<ContractForm>(t.db, session, prompt);
        if (!form->open())
            return nullptr;
        opened = new ContractScreen(std::move(form), std::make_unique<ContractList>(t.db, prompt));
        return opened;
    };
    app::MainMenuWindow menu(menuForm, screens, makers);
    menu.show();
    auto* button = menu.findChild<QPushButton*>(QStringLiteral("Command11"));
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->windowTitle(), QStringLiteral("ขายฝาก"));
    opened->close();
}

TEST_F(ContractActionsTest, FitsTheScreenHeightOfTheShop)
{
    open();
    // The screen opens 10500 twips high; everything has to fit in it.
    EXPECT_LE(screen->minimumSizeHint().height(), platform::twipsY(screen.get(), 10500));
    std::cerr << "minimum " << screen->minimumSizeHint().width() << "x"
              << screen->minimumSizeHint().height() << "\n";
}

TEST_F(ContractActionsTest, TypedTextSurvivesEveryCommandThatRedraws)
{
    open();
    const char* lines[] = {"t67", "t1",  "t2", "t32", "t22", "t9",  "t11",
                           "t12", "t19", "t6", "t30", "t31", "t10", "t3"};
    QHash<QString, QString> typed;
    for (const char* name : lines) {
        auto* field = find<QLineEdit>(name);
        field->setFocus();
        field->selectAll();
        const QString text = QStringLiteral("ค่า'%1").arg(QLatin1String(name));
        const bool money = qstrcmp(name, "t10") == 0 || qstrcmp(name, "t3") == 0;
        const QString keys = money ? QStringLiteral("1234") : text;
        test::typeText(field, keys);
        typed.insert(QLatin1String(name), keys);
    }
    auto* address = find<QPlainTextEdit>("t13");
    address->setFocus();
    test::typeText(address, QStringLiteral(" ซอย'สอง"));
    const QString addressText = address->toPlainText();

    // Every command that redraws the screen, each undone where it can be.
    auto* key = find<QComboBox>("combo1");
    key->setCurrentIndex(2);
    Q_EMIT key->activated(2);
    click("cmdDocuments");
    click("Command42");
    click("cmdRenew");
    click("Command23");
    click("cmdRedeem");
    click("Command27");
    click("cmdDelete");
    click("Command24");
    QTest::mouseClick(find<QRadioButton>("option3"), Qt::LeftButton);
    QTest::mouseClick(find<QRadioButton>("option1"), Qt::LeftButton);
    find<QComboBox>("combo5")->lineEdit()->setFocus();
    click("cmdAddGroup");

    for (auto it = typed.cbegin(); it != typed.cend(); ++it)
        EXPECT_EQ(screen->findChild<QLineEdit*>(it.key())->text(), it.value())
            << it.key().toStdString();
    EXPECT_EQ(address->toPlainText(), addressText);
    // And what is shown is what the save stores.
    click("cmdSave");
    ASSERT_TRUE(screen->form().saved()) << prompt.lastText().toStdString();
    EXPECT_EQ(value("SELECT Ku_MP FROM chumnum").toString(), typed.value(QStringLiteral("t19")));
    EXPECT_EQ(value("SELECT Ku_address FROM chumnum").toString(), addressText);
    EXPECT_EQ(value("SELECT amount3 FROM chumnum").toLongLong(), 12340000);
    EXPECT_EQ(value("SELECT Amount2 FROM chumnum").toLongLong(), 12340000);
    EXPECT_EQ(value("SELECT count(*) FROM service").toInt(), 0); // cancelled panels left no receipt
}

TEST_F(ContractActionsTest, EnterMovesOnWithoutSideEffects)
{
    open();
    // Enter in the rate box moves on; the typed rate's rule gives the fee
    // (a rate picked from the list would give one month's, 250).
    auto* days = find<QLineEdit>("t7");
    days->setFocus();
    days->selectAll();
    QTest::keyClicks(days, QStringLiteral("45"));
    auto* rate = find<QComboBox>("combo2");
    const int rates = rate->count();
    rate->setFocus();
    rate->lineEdit()->selectAll();
    QTest::keyClicks(rate->lineEdit(), QStringLiteral("2.5"));
    EXPECT_EQ(find<QLineEdit>("t8")->text(), QStringLiteral("375")); // 2.5 % × 45 days × 10,000
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(find<QLineEdit>("t8")->text(), QStringLiteral("375"));
    EXPECT_TRUE(find<QLineEdit>("t3")->hasFocus());
    EXPECT_EQ(rate->count(), rates); // nothing added to the list

    // Enter in the search key moves to the value box; Enter there searches once.
    auto* key = find<QComboBox>("combo1");
    key->setFocus();
    QTest::keyClick(key, Qt::Key_Return);
    auto* value = find<QComboBox>("combo10");
    EXPECT_TRUE(value->lineEdit()->hasFocus() || value->hasFocus());
    value->lineEdit()->selectAll();
    QTest::keyClicks(value->lineEdit(), QStringLiteral("99-99"));
    prompt.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(value->findText(QStringLiteral("99-99")), -1);
}

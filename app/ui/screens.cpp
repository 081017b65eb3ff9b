#include "app/ui/screens.h"

#include "admin/ui/backup_screen.h"
#include "admin/ui/company_screen.h"
#include "admin/ui/settings_screen.h"
#include "admin/ui/staff_screen.h"

#include "contracts/rate_table_editors.h"
#include "contracts/ui/contract_screen.h"
#include "contracts/ui/table_editor_screen.h"
#include "customers/ui/customer_screen.h"
#include "customers/ui/lookup_editor_screen.h"
#include "devices/ui/capture_screens.h"
#include "devices/ui/id_card_screen.h"
#include "platform/db/db_error.h"

#include "platform/print_queue.h"
#include "platform/ui/desktop_open.h"
#include "reports/ui/archive_screen.h"
#include "reports/ui/document_output.h"
#include "reports/ui/printer_tb_screen.h"
#include "reports/ui/receipt_reprint_screen.h"
#include "reports/ui/summary_screens.h"
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QInputDialog>

namespace tawela::app {

namespace {

using customers::LookupEditorForm;

LookupEditorForm::Kind editorKind(const QString& name)
{
    if (name == QLatin1String("status_table"))
        return LookupEditorForm::Kind::Statuses;
    if (name == QLatin1String("pre_name_table"))
        return LookupEditorForm::Kind::Titles;
    if (name == QLatin1String("user_field"))
        return LookupEditorForm::Kind::UserFields;
    if (name == QLatin1String("PostalCode"))
        return LookupEditorForm::Kind::PostalCodes;
    return LookupEditorForm::Kind::Groups;
}

// The font of exported sheets: the shops' AngsanaUPC where it is installed,
// else a Thai font this computer has.
QString spreadsheetFont()
{
    const QStringList families = QFontDatabase::families();
    for (const char* f : {"AngsanaUPC", "Angsana New", "TH Sarabun New", "Laksaman", "Garuda"})
        if (families.contains(QLatin1String(f)))
            return QLatin1String(f);
    return QStringLiteral("AngsanaUPC");
}

} // namespace

ScreenMakers composeScreens(const AppConfig& config, const Connections& connections,
                            const admin::Session& session, platform::Prompt& prompt,
                            reports::PrinterChoice& printerChoice, ScreenRegistry& screens)
{
    // The makers outlive this call: they hold the objects, not these names.
    const AppConfig* cfg = &config;
    const Connections* db = &connections;
    const admin::Session* who = &session;
    platform::Prompt* say = &prompt;
    reports::PrinterChoice* choice = &printerChoice;
    ScreenRegistry* registry = &screens;
    ScreenMakers makers;
    auto openEditor = [=](const QString& name) {
        registry->open(name, [=]() -> QWidget* {
            try {
                return new customers::LookupEditorScreen(
                    std::make_unique<LookupEditorForm>(db->customer(), editorKind(name), *say),
                    *say);
            } catch (const platform::db::DbError& e) {
                say->plain(e.description());
                return nullptr;
            }
        });
    };
    // The customer screen's reports: shown in the preview (labels and
    // envelopes are checked there before the sheet goes in), on the printer
    // chosen last.
    customers::ReportOutputs customerReports;
    customerReports.print = [=](const platform::ReportRequest& r) {
        const reports::ReportRunner runner(cfg->dataFolder, db->main(), db->customer());
        reports::DocumentOutput(runner, reports::PrinterSettings(db->personal()), *choice, *say)
            .preview(r);
    };
    customerReports.exportCsv = [=](const platform::ReportRequest& r) {
        const reports::ReportRunner runner(cfg->dataFolder, db->main(), db->customer());
        const QString file = cfg->homeFolder + QStringLiteral("/Temp/customers.csv");
        try {
            QDir().mkpath(cfg->homeFolder + QStringLiteral("/Temp"));
            runner.renderToCsv(r, file);
            platform::ui::openInDesktop(file, *say);
        } catch (const reports::ReportError& e) {
            say->error(QStringLiteral("ส่งออก CSV ไม่สำเร็จ: ") + e.description());
        }
    };
    customerReports.choosePrinter = [=] {
        const QStringList names = platform::printQueues().names;
        if (names.isEmpty()) {
            say->plain(QStringLiteral("เครื่องนี้ยังไม่มีเครื่องพิมพ์ รายงานจะแสดงในหน้าตัวอย่าง"));
            return;
        }
        QInputDialog dialog;
        dialog.setWindowTitle(QStringLiteral("เลือกPrinter"));
        dialog.setLabelText(QStringLiteral("เครื่องพิมพ์ของรายงานลูกค้า"));
        dialog.setComboBoxItems(names);
        dialog.setTextValue(names.value(choice->currentIndex()));
        dialog.setOkButtonText(QStringLiteral("ตกลง"));
        dialog.setCancelButtonText(QStringLiteral("ยกเลิก"));
        if (dialog.exec() == QDialog::Accepted)
            choice->choose(int(names.indexOf(dialog.textValue())));
    };
    // The ID card reader, for computers that have one: the person read goes
    // to whichever screen opened it.
    auto openCardReader = [=](devices::CardForm::HandOver handOver) {
        registry->open(QStringLiteral("IDcard"), [=]() -> QWidget* {
            auto form = std::make_unique<devices::CardForm>(db->customer(), cfg->dataFolder, *say);
            form->onHandOver(handOver);
            return new devices::IdCardScreen(std::move(form), *say);
        });
    };
    // Scanned and photographed pictures go to the shop's pictures folder and
    // back to the slot that asked for them.
    auto openCapture = [=](bool webcam, std::function<void(const QString&)> deliver) {
        const QString images = QDir(cfg->dataFolder).filePath(QStringLiteral("Images"));
        registry->open(webcam ? QStringLiteral("frmSnap") : QStringLiteral("frmPicScan"),
                       [=]() -> QWidget* {
                           if (webcam)
                               return new devices::WebcamScreen(images, deliver, *say);
                           return new devices::ScanScreen(images, deliver, *say);
                       });
    };
    // The customer screen, opened for a reason; a picked customer goes to `pick`.
    auto customerScreen = [=](const customers::Opening& opening,
                              customers::CustomerForm::PickHandler pick) -> QWidget* {
        auto form =
            std::make_unique<customers::CustomerForm>(db->customer(), db->main(), *who, *say);
        form->spreadsheets().use(cfg->homeFolder + QStringLiteral("/Temp"), spreadsheetFont());
        form->reports().use(customerReports);
        form->mail().use(cfg->homeFolder + QStringLiteral("/mail.ini"));
        form->open(opening, std::move(pick));
        auto* screen =
            new customers::CustomerScreen(std::move(form), openEditor, [say](const QString& file) {
                platform::ui::openInDesktop(file, *say);
            });
        screen->setImportFolder(cfg->homeFolder + QStringLiteral("/Excel"));
        screen->useCapture(openCapture);
        if (who->idCardReaderEnabled) {
            QPointer<customers::CustomerScreen> shown = screen;
            screen->useCardReader([=] {
                openCardReader([shown](const customers::CustomerCard&, const QString& id) {
                    if (shown) {
                        shown->form().showPerson(id);
                        shown->refresh();
                    }
                });
            });
        }
        return screen;
    };
    makers.contracts = [=]() -> QWidget* {
        auto print = [=](const contracts::PrintOrder& order) {
            const reports::ReportRunner runner(cfg->dataFolder, db->main(), db->customer());
            reports::DocumentOutput(runner, reports::PrinterSettings(db->personal()), *choice, *say)
                .print(order.jobs, order.marginWhenEmpty);
        };
        auto form = std::make_unique<contracts::ContractForm>(db->main(), *who, *say, print);
        if (!form->open())
            return nullptr;
        auto* screen = new contracts::ContractScreen(
            std::move(form), std::make_unique<contracts::ContractList>(db->main(), *say));
        QPointer<contracts::ContractScreen> shown = screen;
        screen->form().customer().use(db->customer(), [=](const customers::Opening& opening) {
            auto pick = [shown](const customers::CustomerCard& card) {
                if (shown) {
                    shown->form().customer().picked(card);
                    shown->refresh();
                }
            };
            registry->open(QStringLiteral("customer"),
                           [=] { return customerScreen(opening, pick); });
        });
        screen->form().useArchive(db->archive());
        screen->useCapture(openCapture);
        if (who->idCardReaderEnabled)
            screen->useCardReader([=] {
                openCardReader([shown](const customers::CustomerCard& card, const QString&) {
                    if (shown) {
                        shown->form().customer().picked(card);
                        shown->refresh();
                    }
                });
            });
        screen->useTools([=](const QString& name) {
            registry->open(name, [=]() -> QWidget* {
                if (name == QLatin1String("RollBack")) {
                    auto printAgain = [=](const QList<platform::ReportRequest>& jobs) {
                        const reports::ReportRunner runner(cfg->dataFolder, db->main(),
                                                           db->customer());
                        reports::DocumentOutput(runner, reports::PrinterSettings(db->personal()),
                                                *choice, *say)
                            .print(jobs);
                    };
                    return new reports::ReceiptReprintScreen(
                        std::make_unique<reports::ReceiptReprintForm>(db->main(), *say,
                                                                      printAgain));
                }
                const auto direction = name == QLatin1String("move_close")
                                           ? reports::ContractArchive::Direction::ToArchive
                                           : reports::ContractArchive::Direction::Back;
                return new reports::ArchiveScreen(std::make_unique<reports::ArchiveMoveForm>(
                    reports::ContractArchive(db->main(), db->archive()), direction, *say));
            });
        });
        screen->refresh();
        return screen;
    };
    makers.customers = [=] { return customerScreen({}, {}); };
    makers.staff = [=]() -> QWidget* {
        return new admin::StaffScreen(std::make_unique<admin::StaffForm>(db->main(), *say));
    };
    makers.company = [=]() -> QWidget* {
        return new admin::CompanyScreen(
            std::make_unique<admin::CompanyForm>(db->main(), db->customer(), *say));
    };
    makers.settings = [=]() -> QWidget* {
        auto form = std::make_unique<admin::SettingsForm>(db->main(), *say);
        form->useArchive(db->archive());
        return new admin::SettingsScreen(std::move(form));
    };
    // A shop on a server: its schemas are dumped into the set beside this
    // computer's own files.
    makers.backup = [=]() -> QWidget* {
        auto form = std::make_unique<admin::BackupForm>(db->main(), app::shopFiles(*cfg),
                                                        app::backupDatabaseCheck(), *say);
        form->restoreAllowed = who->mayRestore();
        auto* screen = new admin::BackupScreen(std::move(form));
        // The checked copies are put in place when this run has let go
        // of its databases (see main), and read from the start by a new run.
        screen->setAfterRestore([] { QCoreApplication::quit(); });
        return screen;
    };
    // The summaries print on the printer of their Printer_tb row; the money
    // summaries always to the preview first.
    makers.contractSummary = [=]() -> QWidget* {
        auto print = [=](const platform::ReportRequest& r) {
            const reports::ReportRunner runner(cfg->dataFolder, db->main(), db->customer());
            reports::DocumentOutput(runner, reports::PrinterSettings(db->personal()), *choice, *say)
                .print({r});
        };
        auto form = std::make_unique<reports::ContractSummaryForm>(*say, print);
        try {
            const admin::Settings s = admin::loadSettings(db->main());
            form->ceiling = {s.legalCeiling, s.legalYears};
        } catch (const platform::db::DbError&) {
            // The law's own figures stand; the screens say a broken row elsewhere.
        }
        return new reports::ContractSummaryScreen(std::move(form));
    };
    makers.productGroups = [=]() -> QWidget* {
        return new contracts::TableEditorScreen(
            std::make_unique<contracts::ProductGroupEditorForm>(db->main(), *say), *say);
    };
    if (connections.personal())
        makers.printers = [=]() -> QWidget* {
            return new reports::PrinterTbScreen(std::make_unique<reports::PrinterTbForm>(
                db->personal(), platform::printQueues().names, *say));
        };
    makers.moneySummary = [=, printers = makers.printers]() -> QWidget* {
        auto preview = [=](const platform::ReportRequest& r) {
            const reports::ReportRunner runner(cfg->dataFolder, db->main(), db->customer());
            reports::DocumentOutput(runner, reports::PrinterSettings(db->personal()), *choice, *say)
                .preview(r);
        };
        std::function<void()> paper;
        if (printers)
            paper = [=] { registry->open(QStringLiteral("Printer_tb"), printers); };
        return new reports::MoneySummaryScreen(
            std::make_unique<reports::MoneySummaryForm>(*say, preview), paper);
    };
    return makers;
}

} // namespace tawela::app

#include "app/ui/screens.h"

#include "contracts/rate_table_editors.h"
#include "contracts/ui/contract_screen.h"
#include "contracts/ui/table_editor_screen.h"
#include "platform/print_queue.h"
#include "reports/ui/document_output.h"
#include "reports/ui/printer_tb_screen.h"

namespace tawela::app {

ScreenMakers composeScreens(const AppConfig& config, const Connections& connections,
                            const admin::Session& session, platform::Prompt& prompt,
                            reports::PrinterChoice& printerChoice)
{
    // The makers outlive this call: they hold the objects, not these names.
    const AppConfig* cfg = &config;
    const Connections* db = &connections;
    const admin::Session* who = &session;
    platform::Prompt* say = &prompt;
    reports::PrinterChoice* choice = &printerChoice;
    ScreenMakers makers;
    makers.contracts = [=]() -> QWidget* {
        auto print = [=](const contracts::PrintOrder& order) {
            const reports::ReportRunner runner(cfg->dataFolder, db->main(), db->customer());
            reports::DocumentOutput(runner, reports::PrinterSettings(db->personal()), *choice, *say)
                .print(order.jobs, order.marginWhenEmpty);
        };
        auto form = std::make_unique<contracts::ContractForm>(db->main(), *who, *say, print);
        if (!form->open())
            return nullptr;
        return new contracts::ContractScreen(
            std::move(form), std::make_unique<contracts::ContractList>(db->main(), *say));
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
    return makers;
}

} // namespace tawela::app

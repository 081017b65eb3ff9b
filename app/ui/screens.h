#pragma once

#include "admin/session.h"
#include "app/config.h"
#include "app/connections.h"
#include "app/ui/screen_registry.h"
#include "platform/prompt.h"
#include "reports/printer_settings.h"

#include <QWidget>

#include <functional>

namespace tawela::app {

// The screens the main menu opens. An empty maker leaves its entry off.
struct ScreenMakers {
    std::function<QWidget*()> contracts; // "ขายฝาก"
    std::function<QWidget*()> productGroups; // "ตารางกลุ่มสินค้าขายฝาก"
    std::function<QWidget*()> printers;        // "เลือก Printer"
    std::function<QWidget*()> customers;       // "ข้อมูลลูกค้า"
    std::function<QWidget*()> contractSummary; // "สรุปสัญญา"
    std::function<QWidget*()> moneySummary;    // "สรุป รับ-จ่าย"
    std::function<QWidget*()> backup;          // "สำรองข้อมูล"
    std::function<QWidget*()> company;         // "ข้อมูลบริษัท"
    std::function<QWidget*()> settings;        // "ค่าเริ่มต้น"
    std::function<QWidget*()> staff; // "จัดระดับการเข้าถืงข้อมูล"
};

// Every screen of a signed-in session, made in this one place with what it
// needs: its databases, the session, the prompt and the printing. The
// references must outlive the makers.
// Screens that open other screens open them through the registry.
ScreenMakers composeScreens(const AppConfig& config, const Connections& connections,
                            const admin::Session& session, platform::Prompt& prompt,
                            reports::PrinterChoice& printerChoice, ScreenRegistry& screens);

} // namespace tawela::app

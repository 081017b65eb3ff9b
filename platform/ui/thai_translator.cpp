#include "platform/ui/thai_translator.h"

#include <cstring>

namespace tawela::platform {

namespace {

struct Entry {
    const char* source;
    const char* thai;
};

// The standard buttons (QPlatformTheme, QDialogButtonBox, QMessageBox) and
// the captions of the dialogs the program opens.
constexpr Entry Buttons[] = {
    {"OK", "ตกลง"},
    {"&OK", "ตกลง"},
    {"Cancel", "ยกเลิก"},
    {"&Cancel", "ยกเลิก"},
    {"&Yes", "ใช่"},
    {"Yes", "ใช่"},
    {"&No", "ไม่ใช่"},
    {"No", "ไม่ใช่"},
    {"Yes to &All", "ใช่ทั้งหมด"},
    {"N&o to All", "ไม่ใช่ทั้งหมด"},
    {"&Open", "เปิด"},
    {"Open", "เปิด"},
    {"&Save", "บันทึก"},
    {"Save", "บันทึก"},
    {"Save All", "บันทึกทั้งหมด"},
    {"&Close", "ปิด"},
    {"Close", "ปิด"},
    {"Close without Saving", "ปิดโดยไม่บันทึก"},
    {"Discard", "ไม่บันทึก"},
    {"Don't Save", "ไม่บันทึก"},
    {"Apply", "ใช้"},
    {"Reset", "ตั้งใหม่"},
    {"Restore Defaults", "ค่าเริ่มต้น"},
    {"Help", "วิธีใช้"},
    {"Abort", "ยุติ"},
    {"Retry", "ลองใหม่"},
    {"Ignore", "ข้าม"},
    {"&Print", "พิมพ์"},
    {"Print", "พิมพ์"},
    {"Show Details...", "แสดงรายละเอียด..."},
    {"Hide Details...", "ซ่อนรายละเอียด..."},
};

constexpr Entry Captions[] = {
    // QFileDialog
    {"Look in:", "ค้นหาใน:"},
    {"File &name:", "ชื่อแฟ้ม:"},
    {"Files of type:", "ชนิดแฟ้ม:"},
    {"&Choose", "เลือก"},
    {"Back", "ย้อนกลับ"},
    {"Forward", "ไปข้างหน้า"},
    {"Parent Directory", "โฟลเดอร์ก่อนหน้า"},
    {"Create New Folder", "สร้างโฟลเดอร์ใหม่"},
    {"List View", "แสดงเป็นรายการ"},
    {"Detail View", "แสดงรายละเอียด"},
    {"Directory:", "โฟลเดอร์:"},
    {"Save As", "บันทึกเป็น"},
    {"Find Directory", "เลือกโฟลเดอร์"},
    {"All Files (*)", "ทุกแฟ้ม (*)"},
    {"New Folder", "โฟลเดอร์ใหม่"},
    {"&Delete", "ลบ"},
    {"&Rename", "เปลี่ยนชื่อ"},
    {"Show &hidden files", "แสดงแฟ้มที่ซ่อน"},
    // QPrintDialog, QPageSetupWidget
    {"Printer", "เครื่องพิมพ์"},
    {"&Name:", "ชื่อ:"},
    {"P&roperties", "คุณสมบัติ"},
    {"Location:", "ที่ตั้ง:"},
    {"Type:", "ชนิด:"},
    {"Output &file:", "แฟ้มผลลัพธ์:"},
    {"Print range", "ช่วงที่พิมพ์"},
    {"Print all", "พิมพ์ทั้งหมด"},
    {"Pages from", "หน้า"},
    {"to", "ถึง"},
    {"Selection", "ส่วนที่เลือก"},
    {"Copies", "สำเนา"},
    {"Number of copies:", "จำนวนสำเนา:"},
    {"Collate", "เรียงชุด"},
    {"&Options >>", "ตัวเลือก >>"},
    {"&Options <<", "ตัวเลือก <<"},
    {"Paper", "กระดาษ"},
    {"Page size:", "ขนาดกระดาษ:"},
    {"Orientation", "การวางกระดาษ"},
    {"Portrait", "แนวตั้ง"},
    {"Landscape", "แนวนอน"},
    {"Margins", "ขอบกระดาษ"},
    {"Page Setup", "ตั้งหน้ากระดาษ"},
    // QPrintPreviewDialog
    {"Print Preview", "ตัวอย่างก่อนพิมพ์"},
    {"Next page", "หน้าถัดไป"},
    {"Previous page", "หน้าก่อน"},
    {"First page", "หน้าแรก"},
    {"Last page", "หน้าสุดท้าย"},
    {"Fit width", "พอดีความกว้าง"},
    {"Fit page", "พอดีหน้า"},
    {"Zoom in", "ขยาย"},
    {"Zoom out", "ย่อ"},
    {"Show single page", "แสดงทีละหน้า"},
    {"Show facing pages", "แสดงสองหน้าคู่"},
    {"Show overview of all pages", "แสดงทุกหน้า"},
    {"Page setup", "ตั้งหน้ากระดาษ"},
    {"Export to PDF", "บันทึกเป็น PDF"},
};

const char* lookUp(const Entry* begin, const Entry* end, const char* source)
{
    for (const Entry* e = begin; e != end; ++e)
        if (std::strcmp(e->source, source) == 0)
            return e->thai;
    return nullptr;
}

} // namespace

QString thaiButtonText(const char* sourceText)
{
    if (!sourceText)
        return {};
    const char* thai = lookUp(std::begin(Buttons), std::end(Buttons), sourceText);
    return thai ? QString::fromUtf8(thai) : QString();
}

QString ThaiTranslator::translate(const char* context, const char* sourceText,
                                  const char* /*disambiguation*/, int /*n*/) const
{
    if (!sourceText || !context)
        return {};
    // Only Qt's own classes: the program's texts are Thai already.
    if (context[0] != 'Q')
        return {};
    QString text = thaiButtonText(sourceText);
    if (text.isEmpty())
        if (const char* thai = lookUp(std::begin(Captions), std::end(Captions), sourceText))
            text = QString::fromUtf8(thai);
    return text;
}

} // namespace tawela::platform

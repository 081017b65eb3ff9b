#include "platform/db/db_error.h"

#include "platform/error_log.h"

namespace tawela::platform::db {

DbError::DbError(int number, const QString& description) : Error(description), m_number(number) {}

QString DbError::message() const
{
    return QStringLiteral("Error : ") + QString::number(m_number) + u' ' + description();
}

DbError DbError::fromSql(const QSqlError& error, const QString& context, bool contextIsFile)
{
    // The SQLite driver reports the primary result code as the native code.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    const QString detail = error.databaseText();
    // The statement and the driver's words are for the log; staff read the
    // Thai description (with the file's name when a file would not open).
    error_log::write(QStringLiteral("database error ") + error.nativeErrorCode() + u' ' +
                     error.text() + QStringLiteral(" | ") + context);
    auto withContext = [&](const QString& text) {
        return !contextIsFile || context.isEmpty() ? text
                                                   : text + QStringLiteral(" (") + context + u')';
    };
    switch (code) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return DbError(error_number::Locked,
                       withContext(QStringLiteral("ฐานข้อมูลกำลังถูกใช้งานโดยเครื่องอื่น "
                                                  "กรุณารอสักครู่แล้วลองใหม่")));
    case 8: // SQLITE_READONLY
        return DbError(error_number::ReadOnly,
                       withContext(QStringLiteral("ไม่สามารถบันทึกได้ แฟ้มฐานข้อมูลเปิดได้แบบอ่านอย่างเดียว")));
    case 13: // SQLITE_FULL
        return DbError(error_number::DiskFull,
                       withContext(QStringLiteral("เนื้อที่ในดิสก์ไม่พอ ข้อมูลยังไม่ถูกบันทึก")));
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return DbError(error_number::UnrecognizedFormat,
                       withContext(QStringLiteral("แฟ้มนี้ไม่ใช่ฐานข้อมูลของโปรแกรม หรือแฟ้มเสียหาย")));
    case 14: // SQLITE_CANTOPEN
        return DbError(error_number::CannotOpen,
                       withContext(QStringLiteral("ไม่สามารถเปิดแฟ้มฐานข้อมูลได้")));
    case 19: // SQLITE_CONSTRAINT
        if (detail.contains(QLatin1String("UNIQUE")))
            return DbError(error_number::DuplicateKey,
                           withContext(QStringLiteral("ข้อมูลซ้ำกับที่มีอยู่แล้วในช่องที่ห้ามซ้ำ")));
        break;
    default:
        break;
    }
    return DbError(
        error_number::General,
        withContext(QStringLiteral("ฐานข้อมูลทำรายการนี้ไม่ได้ รายละเอียดบันทึกไว้ในแฟ้ม tawela.log")));
}

} // namespace tawela::platform::db

#include "platform/db/db_error.h"

#include "platform/error_log.h"

namespace tawela::platform::db {

DbError::DbError(int number, const QString& description) : Error(description), m_number(number) {}

QString DbError::message() const
{
    return QStringLiteral("Error : ") + QString::number(m_number) + u' ' + description();
}

QString serverLostText(const QString& server)
{
    return QStringLiteral("ติดต่อเครื่องแม่ข่ายฐานข้อมูล") +
           (server.isEmpty() ? QString() : u' ' + server) +
           QStringLiteral(" ไม่ได้ ข้อมูลที่กำลังทำยังไม่ถูกบันทึก กรุณาตรวจสอบว่าเครื่องแม่ข่ายเปิดอยู่และเครือข่ายใช้ได้ "
                          "แล้วลองใหม่");
}

namespace {

// The server's five-character SQLSTATE codes.
DbError fromServer(const QSqlError& error, const QString& context, bool contextIsFile)
{
    const QString state = error.nativeErrorCode();
    const QString words = error.databaseText();
    auto withContext = [&](const QString& text) {
        return !contextIsFile || context.isEmpty() ? text
                                                   : text + QStringLiteral(" (") + context + u')';
    };
    // No code, or a code of the connection: the server did not take the
    // statement (stopped, network gone, or the sign-in refused).
    const bool unanswered = state.size() != 5 || state.startsWith(QLatin1String("08")) ||
                            state.startsWith(QLatin1String("57P")) ||
                            error.type() == QSqlError::ConnectionError;
    if (state.startsWith(QLatin1String("28")) ||
        (unanswered && (words.contains(QLatin1String("password authentication failed")) ||
                        words.contains(QLatin1String("no password supplied")))))
        return DbError(error_number::WrongPassword,
                       withContext(QStringLiteral("เครื่องแม่ข่ายฐานข้อมูลไม่ยอมรับชื่อผู้ใช้หรือรหัสผ่าน")));
    if (state == QLatin1String("3D000") ||
        (unanswered && words.contains(QLatin1String("does not exist")) &&
         words.contains(QLatin1String("database"))))
        return DbError(error_number::FileNotFound,
                       withContext(QStringLiteral("ไม่พบฐานข้อมูลนี้บนเครื่องแม่ข่าย")));
    if (unanswered)
        return DbError(error_number::ServerLost,
                       serverLostText(contextIsFile ? context : QString()));
    if (state == QLatin1String("23505"))
        return DbError(error_number::DuplicateKey, QStringLiteral("ข้อมูลซ้ำกับที่มีอยู่แล้วในช่องที่ห้ามซ้ำ"));
    if (state == QLatin1String("55P03") || state == QLatin1String("40001") ||
        state == QLatin1String("40P01"))
        return DbError(error_number::Locked,
                       QStringLiteral("ฐานข้อมูลกำลังถูกใช้งานโดยเครื่องอื่น กรุณารอสักครู่แล้วลองใหม่"));
    if (state == QLatin1String("53100"))
        return DbError(error_number::DiskFull,
                       QStringLiteral("เนื้อที่ในดิสก์ของเครื่องแม่ข่ายไม่พอ ข้อมูลยังไม่ถูกบันทึก"));
    if (state == QLatin1String("25006") || state == QLatin1String("42501"))
        return DbError(error_number::ReadOnly,
                       QStringLiteral("ไม่สามารถบันทึกได้ ผู้ใช้นี้มีสิทธิ์อ่านข้อมูลบนเครื่องแม่ข่ายอย่างเดียว"));
    return DbError(
        error_number::General,
        withContext(QStringLiteral("ฐานข้อมูลทำรายการนี้ไม่ได้ รายละเอียดบันทึกไว้ในแฟ้ม tawela.log")));
}

} // namespace

DbError DbError::fromSql(const QSqlError& error, const QString& context, bool contextIsFile,
                         Backend backend)
{
    if (backend == Backend::Postgres) {
        error_log::write(QStringLiteral("database error ") + error.nativeErrorCode() + u' ' +
                         error.text() + QStringLiteral(" | ") + context);
        return fromServer(error, context, contextIsFile);
    }
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

#include "platform/log.h"

namespace tawela::platform::log {

// Debug messages off until a rule turns them on; warnings always shown.
Q_LOGGING_CATEGORY(db, "tawela.db", QtInfoMsg)
Q_LOGGING_CATEGORY(card, "tawela.card", QtInfoMsg)
Q_LOGGING_CATEGORY(serial, "tawela.serial", QtInfoMsg)
Q_LOGGING_CATEGORY(scanner, "tawela.scanner", QtInfoMsg)
Q_LOGGING_CATEGORY(print, "tawela.print", QtInfoMsg)
Q_LOGGING_CATEGORY(mail, "tawela.mail", QtInfoMsg)
Q_LOGGING_CATEGORY(backup, "tawela.backup", QtInfoMsg)

} // namespace tawela::platform::log

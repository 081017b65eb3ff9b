#pragma once

#include <QLoggingCategory>

// Traces a technician turns on when something goes wrong at a shop, one
// category per part of the program, all silent by default:
//   QT_LOGGING_RULES="tawela.db.debug=true" tawela
// turns on the statements sent to the database, "tawela.*.debug=true" all of
// them. They never carry a password; the card trace carries no personal data.
namespace tawela::platform::log {

Q_DECLARE_LOGGING_CATEGORY(db)      // statements, their values' count and time
Q_DECLARE_LOGGING_CATEGORY(card)    // the ID card reader's commands and answers
Q_DECLARE_LOGGING_CATEGORY(serial)  // the customer display's port
Q_DECLARE_LOGGING_CATEGORY(scanner) // the scanner's devices and steps
Q_DECLARE_LOGGING_CATEGORY(print)   // print jobs and their queues
Q_DECLARE_LOGGING_CATEGORY(mail)    // the mail server's conversation
Q_DECLARE_LOGGING_CATEGORY(backup)  // the files a backup or a restore takes

} // namespace tawela::platform::log

#pragma once

#include "platform/db/database.h"
#include "platform/prompt.h"

#include <QString>

namespace tawela::app {

// True once first-use setup has finished in this home folder. The mark is
// kept in the home folder's personal database, not in tawela.ini (the program
// also runs without that file).
bool isSetUp(const QString& homeFolder);

// Records in the personal database that setup has finished.
void markSetUp(platform::db::Database& personal);

// The first-use setup screen's state and its command.
class SetupForm {
public:
    SetupForm(QString homeFolder, platform::Prompt& prompt);

    QString companyName;
    QString employeeCode;
    QString employeeName;
    QString password;

    bool confirmEnabled() const { return m_confirmEnabled; }
    // The field a refused "ตกลง" puts the cursor on.
    enum class Field { None, Code, Password };
    Field refused() const { return m_refused; }
    bool completed() const { return m_completed; }

    // "ตกลง": folders Images, Temp and Excel, tawela.ini, the four databases,
    // the shop's name and the first employee with every right. A failure
    // shows the error number, then its description, and leaves "ตกลง" off.
    bool confirm();

private:
    void fail(int number, const QString& description);

    QString m_home;
    platform::Prompt& m_prompt;
    bool m_confirmEnabled = true;
    bool m_completed = false;
    Field m_refused = Field::None;
};

} // namespace tawela::app

#pragma once

#include "admin/session.h"
#include "app/config.h"
#include "app/connections.h"
#include "platform/prompt.h"

#include <QDateTime>
#include <QHash>

#include <functional>

namespace tawela::app {

// The login screen's state and its one command.
class SignInForm {
public:
    enum class Field { Code, Password };
    enum class Result {
        SignedIn, // session filled; open the main menu
        Retry,    // a message was shown; the screen stays
        Fatal,    // the databases could not be opened; the program ends
    };

    SignInForm(AppConfig config, Connections& connections, platform::Prompt& prompt,
               std::function<QDateTime()> clock = &QDateTime::currentDateTimeUtc);

    QString code;
    QString password;
    Field focus = Field::Code;

    // Enter in a field: from the code to the password, from the password to sign-in.
    Result enterPressed();
    Result signIn();

    const admin::Session& session() const { return m_session; }

private:
    AppConfig m_config;
    Connections& m_connections;
    platform::Prompt& m_prompt;
    admin::Session m_session;
    std::function<QDateTime()> m_clock;
    // Wrong passwords in a row, and when the next try is taken, by code.
    struct Failures {
        int count = 0;
        QDateTime nextTry;
    };
    QHash<QString, Failures> m_failures;
};

// Checks a typed password against the stored value: a hash, or (left by older
// data) plain text, compared exactly. An empty stored value matches nothing.
bool passwordMatches(const QString& stored, const QString& typed);

} // namespace tawela::app

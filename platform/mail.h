#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace tawela::platform {

// How the connection to the mail server is protected.
enum class MailSecurity {
    None,     // plain SMTP (a server on the shop's own network)
    StartTls, // SMTP that turns to TLS before anything is sent (usually port 587)
    Tls,      // TLS from the start (SMTPS, usually port 465)
};

// The shop's mail account: where mail is handed over and in whose name.
struct MailAccount {
    QString server;
    int port = 587;
    MailSecurity security = MailSecurity::StartTls;
    QString user, password;
    QString sender; // the shop's own address, the From of every mail

    bool configured() const { return !server.isEmpty() && !sender.isEmpty(); }
    bool operator==(const MailAccount&) const = default;
};

// The account is kept in a file of its own that only the owner may read:
// it holds the password. The file is plain "key=value" lines; the password
// is stored base64-encoded so that a glance at the file does not show it.
class MailAccountFile {
public:
    explicit MailAccountFile(QString path) : m_path(std::move(path)) {}

    // The stored account; an empty one when there is no file yet. nullopt
    // (the reason in Thai in *error) when the file cannot be read.
    std::optional<MailAccount> read(QString* error = nullptr) const;
    // Stores the account, readable by the owner only. An empty password
    // keeps the one stored. False (the reason in Thai) when refused or not
    // written; the old file is then untouched.
    bool write(const MailAccount& account, QString* error = nullptr) const;
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// A field of the settings that cannot be used, with why; nullopt when the
// account can be stored.
struct MailAccountProblem {
    enum class Field { Server, Port, User, Sender } field;
    QString message;
};
std::optional<MailAccountProblem> checkAccount(const MailAccount& account);

// The addresses of a TO or CC box: separated by ";" or ",", blanks around
// them dropped, empty entries skipped (the "All" list starts with ";").
QStringList splitAddresses(const QString& text);
// local@domain without blanks, line breaks or angle brackets.
bool plausibleAddress(const QString& address);

struct MailMessage {
    QString from;
    QString fromName;        // shown before the address (the shop's name); may be empty
    QStringList to, cc, bcc; // bcc goes to the server only, never into the headers
    QString subject, body;
    QString attachment; // a file path; empty for none
};

// A message the server refused or that could not be put together.
struct MailFailure {
    QString message; // in Thai, with the server's answer when there was one
};

// The largest attachment sent (mail servers refuse larger messages).
constexpr qint64 MaxAttachmentBytes = 20 * 1024 * 1024;

// The message as sent: UTF-8 text, a Thai subject as RFC 2047 words, and the
// attachment as a base64 MIME part whose file name survives in Thai
// (RFC 2231 and RFC 2047). Throws MailFailure for an attachment that is
// missing, unreadable or too large, or an address that is not one.
QByteArray composeMail(const MailMessage& message, const QDateTime& now);

// Hands the message to the account's server (SMTP through libcurl) and
// waits for its answer; nullopt when the server accepted it. Blocks: call
// it off the GUI thread.
std::optional<MailFailure> sendMail(const MailAccount& account, const MailMessage& message);
// The same for a message already put together by composeMail() (its
// envelope from `message`), so the attachment is read once.
// With `refused` given, recipients the server refuses are listed there and
// the mail still goes to the others (a mailing to many customers).
std::optional<MailFailure> sendComposed(const MailAccount& account, const MailMessage& message,
                                        const QByteArray& composed, QStringList* refused = nullptr);

} // namespace tawela::platform

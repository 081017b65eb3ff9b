#pragma once

#include "platform/db/database.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tawela::admin {

// Where one shop's files are, as its tawela.ini says. Filled by start-up
// (and by tawela-admin) from the configuration.
struct ShopFiles {
    QString home;       // tawela.ini, Personal.mdb, mail.ini; no trailing "/"
    QString dataFolder; // ends with "/"
    QString mainDb, customerDb, archiveDb, personalDb;
    QString password; // the databases' password
    QString shopName;
    // tawela.ini as setup would write it for this home folder (without a
    // password): the start of the file a restore writes where none exists.
    QByteArray iniTemplate;
    // A shop on a server: main, customer and archive are the schemas
    // "<schema>_main", "_customer", "_archive" there, not files.
    std::optional<platform::db::ServerAddress> server;
    QString serverSchema(const QString& role) const
    {
        return server ? (server->schema + u'_' + role).toLower() : QString();
    }

    QString iniPath() const { return home + QStringLiteral("/tawela.ini"); }
    QString mailPath() const { return home + QStringLiteral("/mail.ini"); }
};

// What a database file is: empty when it is a database of `role` ("main",
// "customer", "archive", "personal") opened with `password`, else why not
// (in Thai). Given by the layer that knows the schema.
using DatabaseCheck =
    std::function<QString(const QString& path, const QString& role, const QString& password)>;

// The kinds of files in a backup set.
namespace file_role {
inline const QString Main = QStringLiteral("main");
inline const QString Customer = QStringLiteral("customer");
inline const QString Archive = QStringLiteral("archive");
inline const QString Personal = QStringLiteral("personal");
inline const QString Settings = QStringLiteral("settings"); // tawela.ini, for reference
inline const QString Mail = QStringLiteral("mail");
inline const QString Data = QStringLiteral("data"); // anything else of the data folder
} // namespace file_role

// The manifest a backup writes last, "tawela-backup.json" in the set's
// folder: without it (or with the mark of a backup still running) the set
// is incomplete.
struct SetFile {
    QString name; // relative to the set's folder: "Morlind.mdb", "Images/a.jpg"
    QString role;
    qint64 bytes = 0;
    QByteArray sha256;           // raw bytes
    QDateTime modified;          // the copy's, to know it unchanged at the next backup
    QHash<QString, qint64> rows; // a database's tables and their rows
    QString schema;              // a server schema's dump (pg_dump's custom format): its name
    bool database() const;
    bool serverDump() const { return !schema.isEmpty(); }
};

struct Manifest {
    int format = 1;
    QString program; // "tawela 0.1.0 (…)"
    QString shopName;
    QDateTime created;
    QString password;
    // What tawela.ini said that a new computer needs to open the set as
    // the same shop.
    QStringList filePatterns, folders;
    QString idCardReader, fakeProduct;
    QList<SetFile> files;

    const SetFile* find(const QString& role) const;
    QByteArray toJson() const;
    // nullopt (with the reason in *error) for a file that is not a whole manifest.
    static std::optional<Manifest> fromJson(const QByteArray& json, QString* error);
};

inline const QString ManifestName = QStringLiteral("tawela-backup.json");
// Written first by a backup and removed when its manifest is in place.
inline const QString RunningMark = QStringLiteral("tawela-backup.running");

// Reads the manifest of a set folder. Throws nothing: nullopt with *error.
std::optional<Manifest> readManifest(const QString& folder, QString* error);

// The result of checking a set against its manifest.
struct SetCheck {
    std::optional<Manifest> manifest; // as read (even when files do not match it)
    QStringList problems;             // in Thai, each naming its file; empty: the set is whole
    bool ok() const { return manifest && problems.isEmpty(); }
};

// Every file of the set: there, of its size and SHA-256, a database whole
// (integrity check), of its role and password, with the rows the manifest
// counted; the main and customer databases must be in the set. Reads every
// byte; `progress` gets the bytes read so far of `total`.
SetCheck checkSet(const QString& folder, const DatabaseCheck& check,
                  const std::function<void(qint64 done, qint64 total)>& progress = {});

// One file of a set (or its copy at `path`) against its manifest entry:
// empty when it matches, else the problem naming `shown`.
QString checkSetFile(const QString& path, const QString& shown, const SetFile& f, const Manifest& m,
                     const DatabaseCheck& check,
                     const std::function<void(qint64 done)>& progress = {});

// The main or customer database a set lacks, one problem each.
QStringList missingDatabases(const Manifest& m,
                             const QString& mainName = QStringLiteral("Morlind.mdb"),
                             const QString& customerName = QStringLiteral("Qorvelcustomer.mdb"));
// Every file of the set against the manifest (checkSetFile), one problem each.
QStringList fileProblems(const QString& folder, const Manifest& m, const DatabaseCheck& check,
                         const std::function<void(qint64 done, qint64 total)>& progress = {});

// What the set holds in a few lines for the person asking to restore it.
QString describeSet(const Manifest& m);

} // namespace tawela::admin

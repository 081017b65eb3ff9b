#pragma once

#include "platform/file_copy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>

namespace tawela::test {

// Every file under a folder by its relative name, with its bytes' digest:
// two equal maps are byte-identical trees. Names starting with one of
// `leftOut` are not counted.
inline QMap<QString, QByteArray> treeDigest(const QString& folder, const QStringList& leftOut = {})
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(folder).relativeFilePath(path);
        if (std::none_of(leftOut.begin(), leftOut.end(),
                         [&](const QString& start) { return name.startsWith(start); }))
            out.insert(name, platform::sha256Of(path));
    }
    return out;
}

// Copies every file under `from` into `to`, folders made as needed; false
// when one could not be copied.
inline bool copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(path);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(path, target))
            return false;
    }
    return true;
}

} // namespace tawela::test

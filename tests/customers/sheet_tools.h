#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The spreadsheet scripts beside the tests, run by Debian's own interpreter
// (where the packaged openpyxl and xlwt are).
inline QString runSheetScript(const char* script, const QStringList& args,
                              const QByteArray& input = {})
{
    QProcess p;
    p.start(
        QStringLiteral("/usr/bin/python3"),
        QStringList{QStringLiteral(TAWELA_SOURCE_DIR "/tests/customers/") + QLatin1String(script)} +
            args);
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

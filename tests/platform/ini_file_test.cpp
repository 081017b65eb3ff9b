#include "platform/ini_file.h"

#include <gtest/gtest.h>

using tawela::platform::IniFile;

TEST(IniFile, NamesWithoutCaseValuesTrimmed)
{
    const IniFile ini = IniFile::parse("[Path Setting]\r\n"
                                       "Database Path =  C:\\Tawela\\Morlind.mdb\r\n"
                                       "PWD=secret \r\n"
                                       "\r\n"
                                       "[config_setting]\n"
                                       "  IDCardReader\t=\ttrue  \n");
    EXPECT_EQ(ini.value(QStringLiteral("path setting"), QStringLiteral("database path")),
              QStringLiteral("C:\\Tawela\\Morlind.mdb"));
    EXPECT_EQ(ini.value(QStringLiteral("PATH SETTING"), QStringLiteral("pwd")),
              QStringLiteral("secret"));
    EXPECT_EQ(ini.value(QStringLiteral("Config_Setting"), QStringLiteral("idcardreader")),
              QStringLiteral("true"));
}

TEST(IniFile, AbsentReadsEmptyAndFirstKeyWins)
{
    const IniFile ini = IniFile::parse("\xEF\xBB\xBF[A]\nk = 1\nk = 2\n; c = 3\nbroken line\n=x\n"
                                       "[B]\nk = ในไทย = ได้\n");
    EXPECT_EQ(ini.value(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("1"));
    EXPECT_EQ(ini.value(QStringLiteral("A"), QStringLiteral("c")), QString());
    EXPECT_FALSE(ini.contains(QStringLiteral("A"), QStringLiteral("c")));
    EXPECT_EQ(ini.value(QStringLiteral("Z"), QStringLiteral("k")), QString());
    // Only the first "=" separates; a value may hold more.
    EXPECT_EQ(ini.value(QStringLiteral("b"), QStringLiteral("k")), QStringLiteral("ในไทย = ได้"));
}

TEST(IniFile, LongValuesAreKeptWhole)
{
    const QByteArray longPath(300, 'x');
    const IniFile ini = IniFile::parse("[P]\nv = " + longPath + "\n");
    EXPECT_EQ(ini.value(QStringLiteral("P"), QStringLiteral("v")).size(), 300);
}

TEST(IniFile, MissingFileLoadsNothing)
{
    IniFile ini;
    EXPECT_FALSE(ini.load(QStringLiteral("/nonexistent/tawela.ini")));
    EXPECT_TRUE(ini.sections().isEmpty());
}

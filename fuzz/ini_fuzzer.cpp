// tawela.ini is edited by hand in any editor: no content may crash the reader.
#include "platform/ini_file.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto ini = tawela::platform::IniFile::parse(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (const QString& s : ini.sections())
        (void)ini.value(s, QStringLiteral("drive"));
    return 0;
}

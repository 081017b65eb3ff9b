// An older Excel file comes from anywhere: no content may crash the reader
// of its formula results, however its sector chains and records are broken.
#include "platform/xls_formulas.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)tawela::platform::readXlsFormulaResults(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}

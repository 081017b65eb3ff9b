#include "devices/barcode_burst.h"

namespace tawela::devices {

void BarcodeBurst::typed(QChar text, qint64 atMs)
{
    // A slow key ends any run before it and may begin the next one.
    if (!m_keys.isEmpty() && (atMs - m_last > MaxGapMs || atMs < m_last))
        m_keys.clear();
    if (text.isPrint() && !text.isSpace())
        m_keys += text;
    else
        m_keys.clear();
    m_last = atMs;
}

std::optional<QString> BarcodeBurst::enter(qint64 atMs)
{
    std::optional<QString> code;
    if (m_keys.size() >= MinLength && atMs >= m_last && atMs - m_last <= MaxGapMs)
        code = m_keys;
    reset();
    return code;
}

void BarcodeBurst::reset()
{
    m_keys.clear();
    m_last = 0;
}

} // namespace tawela::devices

#pragma once

#include <QString>

#include <optional>

namespace tawela::devices {

// A USB bar-code scanner types what it reads and then Enter, each key within
// a few milliseconds of the one before; nobody types that fast by hand. Fed
// every key a window receives, this tells a scan from typing: a code comes
// out at an Enter that ends a run of keys each within MaxGapMs of the last.
class BarcodeBurst {
public:
    static constexpr qint64 MaxGapMs = 30;
    static constexpr int MinLength = 4; // shorter runs are fast fingers, not a code

    // A key that types `text` (one character) at `atMs` milliseconds.
    void typed(QChar text, qint64 atMs);
    // Enter at `atMs`: the code when it ends a burst, else nothing. Either
    // way the next key starts afresh.
    std::optional<QString> enter(qint64 atMs);
    // Any other key (arrows, function keys, a modifier alone is not one).
    void other() { reset(); }

    // Whether the keys so far may still be the start of a scan.
    bool inBurst() const { return !m_keys.isEmpty(); }
    const QString& keys() const { return m_keys; }
    void reset();

private:
    QString m_keys;
    qint64 m_last = 0;
};

} // namespace tawela::devices

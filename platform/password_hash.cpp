#include "platform/password_hash.h"

#include <QStringList>

#include <sodium.h>

#include <stdexcept>

namespace tawela::platform::password_hash {

namespace {

void ensureSodium()
{
    static const int ready = sodium_init();
    if (ready < 0)
        throw std::runtime_error("libsodium could not be initialised");
}

} // namespace

QString hash(const QString& password, Strength strength)
{
    ensureSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    const unsigned long long ops = strength == Strength::Interactive
                                       ? crypto_pwhash_OPSLIMIT_INTERACTIVE
                                       : crypto_pwhash_OPSLIMIT_MIN;
    const size_t mem =
        strength == Strength::Interactive ? crypto_pwhash_MEMLIMIT_INTERACTIVE : size_t(1) << 20;
    if (crypto_pwhash_str_alg(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                              ops, mem, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("out of memory while hashing a password");
    return QString::fromLatin1(out);
}

bool verify(const QString& hashText, const QString& password)
{
    if (!isHash(hashText) || !acceptable(hashText))
        return false;
    ensureSodium();
    const QByteArray h = hashText.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(h.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

bool isHash(const QString& text)
{
    return text.startsWith(QLatin1String("$argon2id$")) && text.size() < crypto_pwhash_STRBYTES;
}

unsigned randomBelow(unsigned bound)
{
    ensureSodium();
    return randombytes_uniform(bound);
}

bool acceptable(const QString& text)
{
    if (!isHash(text))
        return false;
    // "$argon2id$v=19$m=65536,t=2,p=1$salt$hash"
    const QStringList parts = text.split(u'$');
    if (parts.size() != 6)
        return false;
    qint64 memoryKiB = -1, passes = -1, lanes = -1;
    for (const QString& p : parts[3].split(u',')) {
        bool ok = false;
        const qint64 v = p.mid(2).toLongLong(&ok);
        if (!ok)
            return false;
        if (p.startsWith(QLatin1String("m=")))
            memoryKiB = v;
        else if (p.startsWith(QLatin1String("t=")))
            passes = v;
        else if (p.startsWith(QLatin1String("p=")))
            lanes = v;
    }
    // Four times what the program itself asks at most: older or stronger
    // settings still check, nothing costs more than a fraction of a second.
    const qint64 maxMemoryKiB = 4 * qint64(crypto_pwhash_MEMLIMIT_INTERACTIVE) / 1024;
    const qint64 maxPasses = 4 * qint64(crypto_pwhash_OPSLIMIT_INTERACTIVE);
    return memoryKiB > 0 && memoryKiB <= maxMemoryKiB && passes > 0 && passes <= maxPasses &&
           lanes == 1;
}

} // namespace tawela::platform::password_hash

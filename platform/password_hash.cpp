#include "platform/password_hash.h"

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
    if (!isHash(hashText))
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

} // namespace tawela::platform::password_hash

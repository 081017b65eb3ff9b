#pragma once

#include <QString>

namespace tawela::platform {

// Salted argon2id hashes (libsodium's string form, "$argon2id$...").
namespace password_hash {

enum class Strength {
    // For staff passwords.
    Interactive,
    // For the shared database password, which also sits in plain text in
    // tawela.ini: the hash is an access check, so it may be cheap.
    Light,
};

// Throws std::runtime_error when libsodium cannot start or runs out of memory.
QString hash(const QString& password, Strength strength = Strength::Interactive);

// True when the password matches; false for any text that is not a hash.
bool verify(const QString& hash, const QString& password);

// True when the text looks like a hash made by hash().
bool isHash(const QString& text);

// True when a hash asks for no more work than the program's own bounds
// (memory, passes, lanes): a stored hash demanding gigabytes would hang
// every check. verify() refuses any other.
bool acceptable(const QString& hash);

// A uniformly random number from 0 to bound - 1, from the system's source.
unsigned randomBelow(unsigned bound);

} // namespace password_hash
} // namespace tawela::platform

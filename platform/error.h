#pragma once

#include <QString>

#include <stdexcept>

namespace tawela::platform {

// The one base of the program's failures: a Thai description ready to show
// to staff (what went wrong and, where it helps, what to do). Each part adds
// what it knows: a database error number, a line, a position.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {}
    QString description() const { return m_description; }

private:
    QString m_description;
};

} // namespace tawela::platform

#pragma once

#include <QDate>
#include <QString>

#include <ostream>

// Readable Qt values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QDate& d, std::ostream* os)
{
    *os << d.toString(Qt::ISODate).toStdString();
}

// Readable GoogleTest failure messages for Qt strings: text instead of the
// two-byte objects GoogleTest prints for a type it does not know.
#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toPercentEncoding(" !#$&'()*+,/:;=?@[]{}<>|^`~\"").toStdString() << '"';
}

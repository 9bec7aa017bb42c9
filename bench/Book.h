#pragma once
// The benchmark book, built deterministically from the Korean texts of the test data.

#include <QByteArray>
#include <QString>

namespace bench {

// UTF-8 to CP949 through iconv; empty on failure.
QByteArray toCp949(const QByteArray& utf8);
// The five works of dir in CP949, repeated up to 10 MiB and cut at a line break; empty when
// the texts are missing.
QByteArray buildBook(const QString& dir);

}  // namespace bench

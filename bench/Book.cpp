// The benchmark book: five Korean works in CP949, repeated to 10 MiB.

#include "Book.h"

#include <iconv.h>
#include <QFile>

namespace bench {

namespace {
constexpr qsizetype kBookBytes = 10 * 1024 * 1024;
}

QByteArray toCp949(const QByteArray& utf8) {
    QByteArray out(utf8.size(), '\0');  // CP949 never needs more bytes than UTF-8 for Korean
    iconv_t cd = iconv_open("CP949", "UTF-8");
    if (cd == iconv_t(-1)) return QByteArray();
    char* src = const_cast<char*>(utf8.constData());
    char* dst = out.data();
    size_t srcLeft = size_t(utf8.size()), dstLeft = size_t(out.size());
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1);
    iconv_close(cd);
    if (!ok) return QByteArray();
    out.resize(out.size() - qsizetype(dstLeft));
    return out;
}

// The five works in CP949, one after another, repeated until the book has 10 MiB.
QByteArray buildBook(const QString& dir) {
    const char* const works[] = {"unsu_joeun_nal.utf8.txt", "talchulgi.utf8.txt",
                                 "hongyeom.utf8.txt", "dongbaekkkot.utf8.txt", "nalgae.utf8.txt"};
    QByteArray round;
    for (const char* work : works) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(work));
        if (!f.open(QIODevice::ReadOnly)) return QByteArray();
        const QByteArray cp949 = toCp949(f.readAll());
        if (cp949.isEmpty()) return QByteArray();
        round += cp949 + "\r\n\r\n";
    }
    QByteArray book;
    while (book.size() < kBookBytes) book += round;
    // Cut at the last line break before 10 MiB, so no character is split.
    book.truncate(book.lastIndexOf('\n', kBookBytes - 1) + 1);
    return book;
}

}  // namespace bench

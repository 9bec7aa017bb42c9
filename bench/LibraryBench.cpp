// The library of books read, as large as a keen reader's gets: ten thousand books. What the UI
// thread waits for when a book opens (its record) and when the state settles (handing a save
// over), the fingerprint of a 200 MB book, and the open of the library at start-up.

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "Bench.h"
#include "library/BookKey.h"
#include "library/Library.h"

namespace {

constexpr int kBooks = 10000;

library::BookRecord bookNumber(int n) {
    const QString name = QStringLiteral("책 %1.txt").arg(n);
    library::BookRecord r(library::BookKey::ofEntry(QStringLiteral("/home/reader/모음.zip"), name,
                                                    100000 + n, uint32_t(n) * 2654435761u));
    r.title = name;
    r.path = QStringLiteral("/home/reader/모음.zip");
    r.entry = name;
    r.place = int64_t(n) * 4096;
    r.firstRead = 1700000000 + n;
    r.lastRead = 1700000000 + int64_t(n) * 60;
    r.secondsRead = n;
    r.share = (n % 1000) / 1000.0;
    return r;
}

// A 200 MB book of real bytes (no holes), as readers bring them.
bool writeLargeBook(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray chunk;
    std::mt19937 random(7);
    while (chunk.size() < 1 << 20)
        chunk += "가나다라 " + QByteArray::number(uint(random())) + "\r\n";
    while (f.size() < qint64(200) * 1000 * 1000)
        if (f.write(chunk) != chunk.size()) return false;
    return true;
}

void measureFingerprint(const QString& folder) {
    const QString large = folder + QStringLiteral("/large.txt");
    if (!writeLargeBook(large)) {
        bench::note(QStringLiteral("could not write the 200 MB book"));
        bench::countMissed(1);
        return;
    }
    bool keyed = true;
    const double ms =
        bench::medianMs(21, [&] { keyed = library::BookKey::ofFile(large).has_value() && keyed; });
    bench::report(QStringLiteral("library: fingerprint of a 200 MB book"), keyed ? ms : 1e9,
                  QStringLiteral("ms"), 5);
}

}  // namespace

BENCHMARK(50, library) {
    QTemporaryDir dir;
    {
        library::Library lib(dir.path());
        for (int n = 0; n < kBooks; ++n) lib.save(bookNumber(n));
    }
    QElapsedTimer opening;
    opening.start();
    library::Library lib(dir.path());
    bench::report(QStringLiteral("library: open and check, %1 books").arg(kBooks),
                  opening.nsecsElapsed() / 1e6, QStringLiteral("ms"), 100);
    if (!lib.openProblem().isEmpty() || lib.recent(kBooks).size() != size_t(kBooks)) {
        bench::note(QStringLiteral("library: the %1 books did not come back").arg(kBooks));
        bench::countMissed(1);
        return;
    }
    std::mt19937 random(1);
    std::vector<library::BookKey> keys;
    for (int i = 0; i < 501; ++i) keys.push_back(bookNumber(int(random() % kBooks)).key);
    size_t k = 0;
    bool found = true;
    const double findMs = bench::medianMs(
        501, [&] { found = lib.find(keys[k++ % keys.size()]).has_value() && found; });
    bench::report(QStringLiteral("library: a book's record on opening it"), found ? findMs : 1e9,
                  QStringLiteral("ms"), 2);
    int n = 0;
    const double saveMs = bench::medianMs(501, [&] {
        library::BookRecord r = bookNumber(int(random() % kBooks));
        r.place = ++n;
        lib.save(r);
    });
    bench::report(QStringLiteral("library: handing a save over"), saveMs, QStringLiteral("ms"), 2);
    QElapsedTimer written;
    written.start();
    lib.flush();
    bench::note(QStringLiteral("library: the saves handed over written %1 ms later")
                    .arg(written.nsecsElapsed() / 1e6, 0, 'f', 1));
    const double recentMs = bench::medianMs(51, [&] { lib.recent(20); });
    bench::report(QStringLiteral("library: the 20 books read last"), recentMs, QStringLiteral("ms"),
                  2);
    measureFingerprint(dir.path());
}

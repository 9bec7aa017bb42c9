// The list of books read last, as Ctrl+R opens it in the window, with ten thousand books in the
// library: the reading totals of all of them for the pace, the last read listed and drawn, each
// listed file looked for.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "Bench.h"
#include "Reader.h"
#include "dialogs/ScriptedDialogs.h"
#include "library/BookKey.h"
#include "library/Library.h"
#include "recent/RecentPanel.h"
#include "window/Frm_TxtViewer.h"

namespace {

constexpr int kBooks = 10000;

// Book n: an entry of one of a hundred archives, or a plain file; one in ten still where it was
// read (the files the list looks for are mostly gone, as on a reader's disk over the years).
library::BookRecord bookNumber(int n, const QString& folder) {
    const QString name = QStringLiteral("책 %1.txt").arg(n);
    const bool entry = n % 2 == 0;
    const QString where = n % 10 == 0 ? folder : QStringLiteral("/home/reader/옛 책");
    const QString archive = QStringLiteral("%1/모음 %2.zip").arg(where).arg(n % 100);
    library::BookRecord r =
        entry ? library::BookRecord(
                    library::BookKey::ofEntry(archive, name, 100000 + n, uint32_t(n) * 2654435761u))
              : library::BookRecord(*library::BookKey::fromText(
                    "file:" + QByteArray::number(200000 + n) + ":" +
                    QByteArray::number(uint(n) * 2654435761u, 16).rightJustified(40, '0')));
    r.title = name;
    r.path = entry ? archive : where + QLatin1Char('/') + name;
    r.entry = entry ? name : QString();
    r.place = int64_t(n) * 4096;
    r.firstRead = 1700000000 + n;
    r.lastRead = 1700000000 + int64_t(n) * 60;
    r.secondsRead = n % 7 == 0 ? 0 : 60 + n % 600;
    r.share = (n % 1000) / 1000.0;
    return r;
}

}  // namespace

BENCHMARK(51, recent) {
    QTemporaryDir tmp;
    const QString app = bench::linkAppFolder(tmp.filePath(QStringLiteral("app")));
    const QString books = tmp.filePath(QStringLiteral("books"));
    QDir().mkpath(books);
    {
        library::Library lib(app);
        for (int n = 0; n < kBooks; ++n) {
            const library::BookRecord r = bookNumber(n, books);
            lib.save(r);
            if (n % 10 == 0) QFile(r.path).open(QIODevice::WriteOnly);
        }
    }
    dlg::ScriptedDialogs dialogs;
    std::unique_ptr<Frm_TxtViewer> window = bench::startedWindow(app, dialogs);
    auto* open = window->findChild<QAction*>(QStringLiteral("mnu_recent"));
    auto* panel = window->findChild<RecentPanel*>(QStringLiteral("PicRecent"));
    auto* list = window->findChild<QTreeWidget*>(QStringLiteral("LstRecent"));
    if (!open || !panel || !list) {
        bench::note("recent: the window has no list of books read last");
        bench::countMissed(1);
        return;
    }
    // Opened and drawn, as the user first sees it.
    const double ms = bench::medianMs(21, [&] {
        open->trigger();
        panel->repaint();
        panel->close();
    });
    const bool listed = list->topLevelItemCount() == RecentPanel::kListed;
    bench::report(QStringLiteral("recent: open the list of books read last, %1 books").arg(kBooks),
                  listed ? ms : 1e9, QStringLiteral("ms"), 50);
    bench::note(QStringLiteral("  (%1 listed, the pace from all %2)")
                    .arg(list->topLevelItemCount())
                    .arg(kBooks));
}

// Find and the chapter list on the 10 MiB book: counting a two-syllable word, stepping to the
// next match with its spread drawn, and finding the headings once per book.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include "Bench.h"
#include "encodings/StoredText.h"
#include "Book.h"
#include "Reader.h"
#include "dialogs/ScriptedDialogs.h"
#include "encodings/DocumentText.h"
#include "find/ChapterPanel.h"
#include "find/Chapters.h"
#include "find/FindBar.h"
#include "find/TextFind.h"
#include "window/Frm_TxtViewer.h"

namespace {

// The bench book with a web novel's headings: "제 N 화" over every work, repeated to 10 MiB.
QByteArray chapterBook(const QString& dir) {
    const char* const works[] = {"unsu_joeun_nal.utf8.txt", "talchulgi.utf8.txt",
                                 "hongyeom.utf8.txt", "dongbaekkkot.utf8.txt", "nalgae.utf8.txt"};
    std::vector<QByteArray> texts;
    for (const char* work : works) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(work));
        if (!f.open(QIODevice::ReadOnly)) return QByteArray();
        texts.push_back(bench::toCp949(f.readAll()));
        if (texts.back().isEmpty()) return QByteArray();
    }
    QByteArray book;
    for (int n = 1; book.size() < 10 * 1024 * 1024; ++n)
        book += "\r\n" + bench::toCp949("제 " + QByteArray::number(n) + " 화") + "\r\n\r\n" +
                texts[size_t(n - 1) % texts.size()] + "\r\n";
    book.truncate(book.lastIndexOf('\n', 10 * 1024 * 1024 - 1) + 1);
    return book;
}

}  // namespace

BENCHMARK(25, find) {
    const QString dataDir = QStringLiteral(TL_TESTDATA_DIR "/text");
    const QByteArray book = QDir(dataDir).exists() ? chapterBook(dataDir) : QByteArray();
    if (book.isEmpty()) {
        bench::note("find: test data absent (" + dataDir + "), skipped");
        return;
    }
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("book.txt"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(book) != book.size()) {
        bench::note("find: cannot write the book, skipped");
        return;
    }
    out.close();
    // As the reader holds it: in its file, read a part at a time by every count and scan.
    const encodings::StoredText text = encodings::StoredText::read(path).text;
    const QString word = QStringLiteral("사람");

    std::vector<textfind::Match> found;
    const double count = bench::medianMs(21, [&] { found = textfind::findAll(text, word); });
    bench::report("find: count every match of a two-syllable word, 10 MiB", count, "ms", 30);
    bench::note(QStringLiteral("  (%1 matches of \"%2\", the book read from its file)")
                    .arg(found.size())
                    .arg(word));

    std::vector<chapters::Heading> headings;
    const double chapters = bench::medianMs(11, [&] { headings = chapters::findHeadings(text); });
    bench::report("chapters: find the headings of the 10 MiB book", chapters, "ms", 50);
    bench::note(QStringLiteral("  (%1 headings)").arg(headings.size()));

    // In the window: the next match from the spread on screen, its spread drawn with its marks.
    dlg::ScriptedDialogs dialogs;
    const QString app = bench::linkAppFolder(tmp.filePath(QStringLiteral("app")));
    std::unique_ptr<Frm_TxtViewer> window = bench::startedWindow(app, dialogs);
    if (!window->OpenDocument(path, -1) || window->pages().count < 3) {
        bench::note("find: the book did not open in the window");
        return;
    }
    // The panels as Ctrl+F and Ctrl+T open them.
    FindBar* bar = window->findChild<FindBar*>(QStringLiteral("PicFind"));
    QLineEdit* field = window->findChild<QLineEdit*>(QStringLiteral("txtFind"));
    ChapterPanel* chapterList = window->findChild<ChapterPanel*>(QStringLiteral("PicChapter"));
    auto* openFind = window->findChild<QAction*>(QStringLiteral("mnu_find"));
    auto* openChapters = window->findChild<QAction*>(QStringLiteral("mnu_chapters"));
    if (!bar || !field || !chapterList || !openFind || !openChapters) {
        bench::note("find: the window has no find bar or chapter list");
        return;
    }
    openFind->trigger();
    field->setText(word);
    // A keystroke only restarts the pause before the count.
    const double key = bench::medianMs(101, [&] {
        field->insert(QStringLiteral("x"));
        field->backspace();
    });
    bench::report("find: a keystroke in the find bar (the count waits)", key * 1000, "us", 1000);
    bar->countMatches();
    bool wrapped = false;
    int index = 0;
    const double lookup = bench::medianMs(101,
                                          [&] {
                                              for (int i = 0; i < 100; ++i)
                                                  index = bar->nextMatch(1, &wrapped);
                                          }) /
                          100;
    (void)index;
    bench::report("find: the next match from the spread on screen", lookup * 1000, "us", 5000);
    const double next = bench::medianMs(101, [&] {
        bar->step(1);
        bench::paintSpread(*window);
    });
    const double spread =
        bench::medianMs(101, [&] { bench::showSpread(*window, window->pages().current); });
    bench::note(QStringLiteral("  (stepped to with its spread drawn and marked: %1 ms; the spread "
                               "alone: %2 ms)")
                    .arg(next, 0, 'f', 2)
                    .arg(spread, 0, 'f', 2));
    bench::report("  the step to it / drawing its spread alone", next / spread, "x", 1.2);
    bar->close();
    const double list = bench::medianMs(11, [&] {
        openChapters->trigger();
        chapterList->close();
    });
    bench::report("chapters: open the list (pages of every heading)", list, "ms", 50);
}

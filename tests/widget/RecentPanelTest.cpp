// The books read last in the real window: their list (Ctrl+R and the pages' menu) in the order
// read with how far in, when and the time left; a missing book greyed and said to be missing;
// a book forgotten after asking; a book opened at its place, an archive's entry at its row; and
// the empty spread's shelf.

#include <QAction>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QTimeZone>
#include <QTreeWidget>

#include "../common/Controls.h"
#include "../common/ZipWriter.h"
#include "ReaderFixture.h"
#include "library/BookKey.h"
#include "library/Library.h"
#include "recent/RecentPanel.h"
#include "recent/RecentShelf.h"

namespace {

using library::BookKey;
using library::BookRecord;

// 2024-03-10 09:00 in Seoul, the list's "now".
const QTimeZone kSeoul(9 * 3600);
const QDateTime kNow(QDate(2024, 3, 10), QTime(9, 0), kSeoul);

int64_t daysBefore(int days, int hour = 8) {
    return QDateTime(kNow.date().addDays(-days), QTime(hour, 0), kSeoul).toSecsSinceEpoch();
}

class Recent : public Reading {
protected:
    RecentPanel* panel() const { return control<RecentPanel>(*window, "PicRecent"); }
    QTreeWidget* list() const { return control<QTreeWidget>(*window, "LstRecent"); }
    RecentShelf* shelf() const { return control<RecentShelf>(*window, "RecentShelf"); }
    QWidget* page() const { return control<QWidget>(*window, "PicRead", 0); }
    library::Library& books() const { return *window->library(); }

    // A record of the file at path as the reader would have saved it.
    BookRecord recordOf(const QString& path, double share, int64_t lastRead, int64_t seconds) {
        BookRecord r(*BookKey::ofFile(path));
        r.title = path.mid(path.lastIndexOf('/') + 1);
        r.path = path;
        r.share = share;
        r.lastRead = lastRead;
        r.firstRead = lastRead;
        r.secondsRead = seconds;
        return r;
    }
    void openList() {
        QTest::keyClick(page(), Qt::Key_R, Qt::ControlModifier);
        panel()->setClock([] { return kNow; });
        // The rows as of the clock set (the first fill used the real one).
        panel()->close();
        QTest::keyClick(page(), Qt::Key_R, Qt::ControlModifier);
        ASSERT_TRUE(panel()->isVisible());
    }
    QStringList row(int r) const {
        QStringList cells;
        for (int c = 0; c < list()->columnCount(); ++c) cells << list()->topLevelItem(r)->text(c);
        return cells;
    }
    // Enter as the user types it: the press in the list, the release wherever the keyboard is.
    void enter() {
        QTest::keyPress(list(), Qt::Key_Return);
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
    }
    QString lastBox() const {
        const auto boxes = dialogs.shownOf("msgbox");
        return boxes.isEmpty() ? QString() : boxes.last().text;
    }
};

TEST_F(Recent, TheListShowsTheBooksLastReadFirstWithHowFarInWhenAndTheTimeLeft) {
    start();
    // 600 s over 100,000 bytes read: 0.006 s a byte.
    const struct {
        const char* name;
        int bytes;
        double share;
        int daysAgo;
        int64_t seconds;
        QStringList cells;  // title, share, when, time left
    } table[] = {
        {"오늘.txt", 100000, 0.25, 0, 300, {"오늘.txt", "25 %", "오늘", "약 8분"}},
        {"어제.txt", 200000, 0.375, 1, 300, {"어제.txt", "38 %", "어제", "약 13분"}},
        {"사흘.txt", 1000000, 0.5, 3, 0, {"사흘.txt", "50 %", "3일 전", "약 50분"}},
        {"엿새.txt", 3000000, 0.1, 6, 0, {"엿새.txt", "10 %", "6일 전", "약 4시간 30분"}},
        {"오래전.txt", 50000, 0, 40, 0, {"오래전.txt", "0 %", "2024-01-30", ""}},
    };
    // Saved in another order than read.
    for (int i : {2, 0, 4, 1, 3}) {
        const auto& b = table[i];
        const QString path = writeBook(QString::fromUtf8(b.name), QByteArray(b.bytes, 'a'));
        books().save(recordOf(path, b.share, daysBefore(b.daysAgo), b.seconds));
    }
    QStringList menu;
    for (QAction* a : control<QMenu>(*window, "PageMenu")->actions()) menu << a->text();
    EXPECT_TRUE(menu.contains("최근 읽은 책(Ctrl+R)")) << menu.join('|').toStdString();

    openList();
    EXPECT_EQ(QApplication::focusWidget(), list());
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(row(i), table[i].cells) << i;
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(0));
    // Every file is there: none greyed.
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(list()->topLevelItem(i)->foreground(0).color(), QColor(150, 150, 150));

    // Under ten minutes of reading in all: no time left anywhere.
    BookRecord first = panel()->books()[0];
    first.secondsRead = 0;
    books().save(first);
    openList();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(row(i)[3], "") << i;

    // Escape closes the list, not the window, and the pages have the keyboard again.
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(QApplication::focusWidget(), page());
}

TEST_F(Recent, AMissingBookIsGreyedAndSaysSoWhenChosen) {
    start();
    const QString there = writeBook("있는 책.txt", numberedBook(100));
    const QString gone = writeBook("없는 책.txt", numberedBook(200));
    books().save(recordOf(there, 0.5, daysBefore(1), 0));
    books().save(recordOf(gone, 0.5, daysBefore(0), 0));
    QFile::remove(gone);
    // An archive that is gone: its entry is greyed too, its archive named.
    BookRecord entry(BookKey::ofEntry(folder.file("모음.zip"), "1권.txt", 1000, 7));
    entry.title = "1권.txt";
    entry.path = folder.file("모음.zip");
    entry.entry = "1권.txt";
    entry.lastRead = daysBefore(2);
    books().save(entry);

    openList();
    ASSERT_EQ(list()->topLevelItemCount(), 3);
    const QColor grey(150, 150, 150);
    EXPECT_EQ(list()->topLevelItem(0)->foreground(0).color(), grey);
    EXPECT_EQ(list()->topLevelItem(0)->foreground(2).color(), grey);
    EXPECT_NE(list()->topLevelItem(1)->foreground(0).color(), grey);
    EXPECT_EQ(list()->topLevelItem(2)->foreground(0).color(), grey);
    EXPECT_EQ(list()->topLevelItem(2)->data(0, Qt::UserRole + 1).toString(), "모음.zip");
    EXPECT_TRUE(list()->topLevelItem(0)->toolTip(0).startsWith("파일을 찾을 수 없습니다\n"));

    // Chosen, it says where it was looked for, and the list stays for another choice.
    enter();
    EXPECT_EQ(lastBox(), "파일을 찾을 수 없습니다\n" + gone);
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_FALSE(window->book().open());
    list()->setCurrentItem(list()->topLevelItem(2));
    release(control<forms::Image>(*window, "CmdRecentOk"));
    EXPECT_EQ(lastBox(), "파일을 찾을 수 없습니다\n" + entry.path);
    EXPECT_TRUE(panel()->isVisible());

    // Once it is back where it was, it opens.
    writeBook("없는 책.txt", numberedBook(200));
    list()->setCurrentItem(list()->topLevelItem(0));
    dialogs.clear();
    enter();
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_TRUE(dialogs.shownOf("msgbox").isEmpty());
    EXPECT_EQ(window->book().path, gone);
}

TEST_F(Recent, DeleteForgetsTheChosenBookAfterAsking) {
    start();
    std::vector<BookRecord> saved;
    for (int i = 0; i < 3; ++i) {
        const QString path = writeBook(QStringLiteral("책 %1.txt").arg(i), numberedBook(10 + i));
        saved.push_back(recordOf(path, 0.1 * i, daysBefore(i), 0));
        books().save(saved.back());
    }
    openList();
    QTest::keyClick(list(), Qt::Key_Down);
    ASSERT_EQ(row(list()->indexOfTopLevelItem(list()->currentItem()))[0], "책 1.txt");

    // No: everything stays.
    dialogs.answerMsgBox(dlg::vbNo);
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(lastBox(), "이 책을 최근 목록에서 지울까요?\n책 1.txt");
    EXPECT_EQ(list()->topLevelItemCount(), 3);
    EXPECT_TRUE(books().find(saved[1].key));

    // Yes: the row goes, the next is chosen, and the library forgets the book.
    dialogs.answerMsgBox(dlg::vbYes);
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(list()->topLevelItemCount(), 2);
    EXPECT_EQ(row(0)[0], "책 0.txt");
    EXPECT_EQ(row(1)[0], "책 2.txt");
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(1));
    EXPECT_EQ(QApplication::focusWidget(), list());
    books().flush();
    EXPECT_FALSE(books().find(saved[1].key));
    EXPECT_EQ(books().recent(10).size(), 2u);
    EXPECT_TRUE(panel()->isVisible());

    // The last ones forgotten: the list says there are none.
    for (int i = 0; i < 2; ++i) {
        dialogs.answerMsgBox(dlg::vbYes);
        QTest::keyClick(list(), Qt::Key_Delete);
    }
    EXPECT_FALSE(list()->isVisible());
    EXPECT_TRUE(control<forms::Label>(*window, "lblRecentNone")->isVisible());
    EXPECT_TRUE(books().recent(10).empty());
}

TEST_F(Recent, AChosenBookOpensAtItsPlaceAnEntryAtItsRowWithoutTheArchiveList) {
    start();
    const QString plain = writeBook("긴 책.txt", numberedBook(3000));
    const QString archive = folder.file("모음.zip");
    ASSERT_TRUE(writeZip(archive, {{"1권.txt", numberedBook(2000)},
                                   {"2권.txt", numberedBook(2500)},
                                   {"3권.txt", numberedBook(100)}}));
    const QString other = writeBook("다른 책.txt", numberedBook(50));

    // Read some way into the plain book and into the archive's second book.
    open(plain);
    window->pageBar().setValue(window->pages().count / 2);
    const int32_t plainSpread = window->pages().current;
    ASSERT_GT(plainSpread, 3);
    open(archive);
    QListWidget* entries = control<QListWidget>(*window, "List1");
    ASSERT_TRUE(control<QWidget>(*window, "PicList")->isVisible());
    entries->setCurrentRow(1);
    emit entries->itemDoubleClicked(entries->currentItem());
    ASSERT_EQ(window->book().title(), "2권.txt");
    window->pageBar().setValue(window->pages().count / 3);
    const int32_t entrySpread = window->pages().current;
    ASSERT_GT(entrySpread, 3);
    open(other);
    ASSERT_EQ(window->book().path, other);

    const struct {
        const char* title;
        const char* how;
        const int32_t* spread;
    } choices[] = {{"긴 책.txt", "enter", &plainSpread},
                   {"2권.txt", "double click", &entrySpread},
                   {"긴 책.txt", "확인", &plainSpread}};
    for (const auto& c : choices) {
        SCOPED_TRACE(c.how);
        openList();
        int r = 0;
        while (r < list()->topLevelItemCount() && row(r)[0] != QString::fromUtf8(c.title)) ++r;
        ASSERT_LT(r, list()->topLevelItemCount());
        list()->setCurrentItem(list()->topLevelItem(r));
        const QString how = QString::fromUtf8(c.how);
        if (how == "enter") {
            enter();
        } else if (how == "double click") {
            const QRect box = list()->visualItemRect(list()->topLevelItem(r));
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, box.center());
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, box.center());
        } else {
            release(control<forms::Image>(*window, "CmdRecentOk"));
        }
        EXPECT_FALSE(panel()->isVisible());
        EXPECT_EQ(window->book().title(), QString::fromUtf8(c.title));
        EXPECT_EQ(window->pages().current, *c.spread);
        EXPECT_FALSE(control<QWidget>(*window, "PicList")->isVisible());
        if (window->book().inArchive()) {
            EXPECT_EQ(window->book().archivePath, archive);
            EXPECT_EQ(window->book().shown, 1);
            EXPECT_EQ(entries->currentRow(), 1);
        }
        // Each is left for the other book, which records where it was.
        open(other);
    }
}

TEST_F(Recent, TheEmptySpreadShowsTheBooksReadLastOrHowToOpenOne) {
    start();
    ASSERT_EQ(window->pages().length, 0);
    ASSERT_TRUE(shelf()->isVisible());
    EXPECT_TRUE(shelf()->books().empty());
    EXPECT_EQ(shelf()->lines(),
              QStringList{"열기 단추를 누르거나 텍스트 파일(txt)이나 압축파일(zip, rar)을 이 창에 "
                          "끌어다 놓으세요."});

    // Books read: the last few, and the key of the whole list.
    const QString older = writeBook("앞 책.txt", numberedBook(1000));
    const QString newer = writeBook("뒤 책.txt", numberedBook(1001));
    BookRecord placed = recordOf(older, 0.4, daysBefore(1), 0);
    placed.place = 4000;
    books().save(placed);
    books().save(recordOf(newer, 0.1, daysBefore(0), 0));
    // (the list closing shows the shelf again, as a forget would change it)
    openList();
    QTest::keyClick(list(), Qt::Key_Escape);
    ASSERT_EQ(shelf()->books().size(), 2u);
    EXPECT_EQ(shelf()->books()[0].title, "뒤 책.txt");
    EXPECT_EQ(shelf()->books()[1].title, "앞 책.txt");
    EXPECT_EQ(shelf()->lines(), (QStringList{"최근 읽은 책", "Ctrl+R: 최근 읽은 책"}));
    if (qEnvironmentVariableIsSet("TL_RECENT_SHOTS")) {
        const QString dir = qEnvironmentVariable("TL_RECENT_SHOTS");
        window->grab().save(dir + "/shelf.png");
        openList();
        window->grab().save(dir + "/panel.png");
        QTest::keyClick(list(), Qt::Key_Escape);
    }

    // A click on a title opens it at its place; the shelf goes with the empty spread.
    const QRect line = shelf()->lineOf(1);
    ASSERT_FALSE(line.isEmpty());
    QTest::mouseClick(shelf(), Qt::LeftButton, {}, line.center());
    EXPECT_EQ(window->book().path, older);
    EXPECT_EQ(window->pages().current, window->spreadOfPlace(4000));
    EXPECT_GT(window->pages().current, 1);
    EXPECT_FALSE(shelf()->isVisible());
}

TEST_F(Recent, TheEmptySpreadAfterNoToTheResumeQuestionShowsTheShelf) {
    const QString book = writeBook("지난 책.txt", numberedBook(500));
    statefiles::DocumentState d;
    d.documentPath = book;
    writeFile("txtlumofile.txt", statefiles::encodeDocument(d));
    dialogs.answerMsgBox(dlg::vbNo);
    start();
    ASSERT_EQ(window->pages().length, 0);
    EXPECT_TRUE(shelf()->isVisible());
    open(book);
    EXPECT_FALSE(shelf()->isVisible());
}

}  // namespace

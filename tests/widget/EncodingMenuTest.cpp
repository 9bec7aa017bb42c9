// The pages' menu 인코딩 in the real window: every encoding listed, the one in force ticked;
// choosing another reads the book on screen again in it at the same share of the book, keeps the
// bookmark the new text still reaches, and the library reads the book in it at every later open.

#include <QAction>
#include <QMenu>
#include <cmath>

#include "../common/Controls.h"
#include "../common/ZipWriter.h"
#include "../unit/text/CodePageSamples.h"
#include "ReaderFixture.h"
#include "encodings/AnsiUnits.h"
#include "encodings/DocumentText.h"
#include "encodings/Encoding.h"
#include "forms/PictureBox.h"

namespace {

using encodings::Encoding;

// The UTF-8 text in iconv's encoding `to`; the test stops when iconv cannot convert it.
QByteArray encoded(const QString& text, const char* to) {
    const QByteArray bytes = texttest::viaIconv(text.toUtf8().constData(), to);
    EXPECT_FALSE(bytes.isEmpty()) << to;
    return bytes;
}

// Numbered Korean lines, each a layout line of its own; `seed` makes books tell apart.
QString koreanLines(int lines, const QString& seed = QString()) {
    QString text;
    for (int i = 1; i <= lines; ++i)
        text += QStringLiteral("줄 %1 가을 하늘%2\r\n").arg(i).arg(seed);
    return text;
}

QByteArray cp949Book(int lines, const QString& seed = QString()) {
    return encoded(koreanLines(lines, seed), "CP949");
}

// The menu's index of an encoding.
int indexOf(Encoding encoding) {
    for (size_t i = 0; i < encodings::kEncodings.size(); ++i)
        if (encodings::kEncodings[i] == encoding) return int(i);
    return -1;
}

// Counts how often the progress panel comes up: once for every read and count.
class ShowCount : public QObject {
public:
    explicit ShowCount(QWidget* panel) { panel->installEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) ++shows;
        return false;
    }
};

class EncodingMenu : public Reading {
protected:
    QMenu* menu() const { return control<QMenu>(*window, "mnuEncoding"); }
    QAction* item(Encoding encoding) const {
        return control<QAction>(*window, QStringLiteral("mnuEncoding_%1").arg(indexOf(encoding)));
    }
    // Opens the pages' menu and closes it again, as the reader glancing at it would: the menu
    // shows the book on screen whenever it opens.
    void glance() const {
        QMenu* pages = control<QMenu>(*window, "PageMenu");
        pages->popup(window->mapToGlobal(QPoint(100, 100)));
        pages->hide();
    }
    // The encodings ticked, by caption.
    QStringList ticked() const {
        QStringList t;
        for (QAction* a : menu()->actions())
            if (a->isChecked()) t << a->text();
        return t;
    }
    void choose(Encoding encoding) const { item(encoding)->trigger(); }
    // The share of the book before the spread on screen.
    double share() const { return double(window->pages().current - 1) / window->pages().count; }
    QString recorded(const QString& path) const {
        const auto record = window->library()->find(*library::BookKey::ofFile(path));
        return record ? record->encoding : QStringLiteral("(none)");
    }
    QString leftPage() const { return window->PageText(window->pages().current).text; }
    void showSpread(int page) {
        window->pageBar().setValue(page);
        ASSERT_EQ(window->pages().current, page);
    }
    // The y of line `row` (0-based) of a page, a little below its top, and a click there with
    // the right button: the bookmark.
    int rowY(int row) const { return 50 + row * window->pages().lineHeight + 3; }
    void setBookmark(int side, int row) {
        auto* page = control<forms::PictureBox>(*window, "PicRead", side);
        QTest::mousePress(page, Qt::RightButton, {}, QPoint(200, rowY(row)));
        QTest::mouseRelease(page, Qt::RightButton, {}, QPoint(200, rowY(row)));
    }
};

TEST_F(EncodingMenu, ListsEveryEncodingAndTicksTheOneInForce) {
    start();
    ASSERT_TRUE(control<QMenu>(*window, "PageMenu")->actions().contains(menu()->menuAction()));
    EXPECT_EQ(menu()->title(), QStringLiteral("인코딩"));
    QStringList captions, expected;
    for (QAction* a : menu()->actions()) {
        captions << a->text();
        EXPECT_TRUE(a->isCheckable()) << a->text().toStdString();
    }
    for (const Encoding e : encodings::kEncodings) expected << encodings::encodingCaption(e);
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(captions.first(), QStringLiteral("자동"));
    // Without a book there is nothing to read again.
    glance();
    EXPECT_FALSE(menu()->isEnabled());
    EXPECT_FALSE(menu()->menuAction()->isEnabled());

    const QString path = writeBook(QStringLiteral("가을.txt"), cp949Book(3000));
    open(path);
    ASSERT_GT(window->pages().count, 20);
    glance();
    EXPECT_TRUE(menu()->isEnabled());
    EXPECT_EQ(ticked(), QStringList{QStringLiteral("자동")});

    // The encoding in force again reads nothing; neither does a choice mid-operation.
    showSpread(9);
    const ShowCount panel(control<forms::PictureBox>(*window, "PicSplash"));
    const QString text = window->pages().text.toString();
    choose(Encoding::Automatic);
    EXPECT_EQ(panel.shows, 0);
    EXPECT_EQ(window->pages().current, 9);
    window->setEnabled(false);
    choose(Encoding::Utf8);
    window->setEnabled(true);
    EXPECT_EQ(panel.shows, 0);
    EXPECT_EQ(window->book().encoding, Encoding::Automatic);
    EXPECT_EQ(window->pages().text.toString(), text);
    EXPECT_EQ(ticked(), QStringList{QStringLiteral("자동")});
    EXPECT_EQ(dialogs.shownOf("msgbox").size(), 0);

    // The code page the guess took, chosen: the same text at the same spread, now the book's.
    choose(Encoding::Cp949);
    EXPECT_GE(panel.shows, 1);  // read again
    EXPECT_EQ(window->book().encoding, Encoding::Cp949);
    EXPECT_EQ(window->pages().text.toString(), text);
    EXPECT_EQ(window->pages().current, 9);
    glance();
    EXPECT_EQ(ticked(), QStringList{QStringLiteral("한국어 (CP949)")});
    EXPECT_EQ(window->library()->find(*window->book().key)->encoding, QStringLiteral("CP949"));
}

TEST_F(EncodingMenu, AChoiceReadsTheBookAgainAtItsShareAndIsRemembered) {
    const QString korean = koreanLines(3000);
    QString utf16(korean);
    QByteArray utf16le(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    const struct {
        const char* name;
        QByteArray bytes;
        Encoding chosen;
    } cases[] = {
        // A Korean book read in the wrong encoding: the text changes, the share stays.
        {"cp949-as-utf8", cp949Book(3000, QStringLiteral("ㄱ")), Encoding::Utf8},
        {"cp949-as-shiftjis", cp949Book(3000, QStringLiteral("ㄴ")), Encoding::ShiftJis},
        {"cp949-as-big5", cp949Book(3000, QStringLiteral("ㄷ")), Encoding::Big5},
        // A Korean book in UTF-16 without its mark, which the guess takes for CP949: read right.
        {"utf16le-unmarked", utf16le, Encoding::Utf16Le},
        // UTF-8 that is no valid UTF-8 (a stray byte) is guessed CP949; chosen, it reads.
        {"broken-utf8",
         koreanLines(2000, QStringLiteral("ㄹ")).toUtf8() + "\xff" + koreanLines(200).toUtf8(),
         Encoding::Utf8},
    };
    start();
    const QString other = writeBook(QStringLiteral("다른 책.txt"), cp949Book(100, "ㅎ"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = writeBook(QString::fromLatin1(c.name) + ".txt", c.bytes);
        const QString expected = decodeDocumentAs(c.bytes, c.chosen).text;
        dialogs.clear();
        open(path);
        ASSERT_EQ(window->book().path, path);
        ASSERT_EQ(window->book().encoding, Encoding::Automatic);
        ASSERT_NE(window->pages().text.toString(), expected);  // the guess reads it otherwise
        ASSERT_GT(window->pages().count, 40);
        // A spread well inside the book.
        showSpread((window->pages().count * 3 / 5) | 1);
        const double before = share();
        const QString page = leftPage();

        choose(c.chosen);
        EXPECT_EQ(window->book().encoding, c.chosen);
        EXPECT_EQ(window->pages().text.toString(), expected);
        EXPECT_NE(leftPage(), page);
        EXPECT_TRUE(expected.contains(leftPage().chopped(2)));  // a page ends with CR LF
        // The same share of the book, within a spread.
        EXPECT_EQ(window->pages().current % 2, 1);
        EXPECT_LE(std::abs(share() - before), 2.0 / window->pages().count)
            << before << " " << share();
        glance();
        EXPECT_EQ(ticked(), QStringList{encodings::encodingCaption(c.chosen)});
        // Recorded at once.
        EXPECT_EQ(recorded(path), encodings::encodingId(c.chosen));
        EXPECT_EQ(dialogs.shownOf("msgbox").size(), 0);

        // Another book, then this one again: read in the encoding chosen, at its place.
        const int32_t at = window->pages().current;
        ASSERT_TRUE(window->OpenDocument(other, -1));
        glance();
        EXPECT_EQ(ticked(), QStringList{QStringLiteral("자동")});
        ASSERT_TRUE(window->OpenDocument(path, -1));
        EXPECT_EQ(window->book().encoding, c.chosen);
        EXPECT_EQ(window->pages().text.toString(), expected);
        EXPECT_EQ(window->pages().current, at);
        glance();
        EXPECT_EQ(ticked(), QStringList{encodings::encodingCaption(c.chosen)});

        // And 자동 gives the guess back, remembered as no choice.
        choose(Encoding::Automatic);
        EXPECT_EQ(window->book().encoding, Encoding::Automatic);
        EXPECT_EQ(window->pages().text.toString(), decodeDocumentAs(c.bytes, Encoding::Automatic).text);
        EXPECT_EQ(recorded(path), QString());
    }
}

TEST_F(EncodingMenu, TheBookmarkStaysWhereTheNewTextStillReachesIt) {
    start();
    // Read as UTF-8 every Korean syllable of CP949 is two replacement characters (four bytes
    // where CP949 has two): the book is longer than its Korean reading.
    const QString path = writeBook(QStringLiteral("책갈피.txt"), cp949Book(3000));
    open(path);
    const int64_t korean = encodings::ansi::length(encodings::ansi::units(window->pages().text.toString()),
                                                   window->pages().text.toString().size());
    choose(Encoding::Utf8);
    ASSERT_EQ(window->book().encoding, Encoding::Utf8);
    // The spread before the last, whose left page is full (the last may hold only the empty
    // line after the book's final line break).
    const int32_t nearEnd =
        (window->pages().count % 2 ? window->pages().count : window->pages().count - 1) - 2;
    const struct {
        const char* name;
        bool nearEnd;
        bool kept;
    } cases[] = {{"near the start", false, true}, {"near the end", true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (window->book().encoding != Encoding::Utf8) choose(Encoding::Utf8);
        window->removeBookmark();
        showSpread(c.nearEnd ? nearEnd : 3);
        setBookmark(0, 0);
        ASSERT_EQ(window->settings().BookmarkSet, -1);
        const int32_t position = window->settings().BookmarkPosition;
        // Beyond the end of the Korean reading, or well inside it.
        ASSERT_EQ(position > korean, c.nearEnd) << position << " " << korean;
        choose(Encoding::Automatic);
        ASSERT_EQ(window->book().encoding, Encoding::Automatic);
        EXPECT_EQ(window->settings().BookmarkSet, c.kept ? -1 : 0);
        EXPECT_EQ(window->settings().BookmarkPosition, c.kept ? position : 0);
        const auto record = window->library()->find(*window->book().key);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->bookmarkSet, c.kept);
        if (!c.kept) continue;
        // Kept, it is followed as ever.
        release(control<forms::Image>(*window, "CmdFirst"));
        release(control<forms::Image>(*window, "Cmdleaves"));
        EXPECT_EQ(window->pages().current, window->spreadOfPlace(position));
    }
}

TEST_F(EncodingMenu, AnArchiveEntryIsReadAgainFromItsExtractedCopy) {
    start();
    const QString archive = folder.file(QStringLiteral("모음.zip"));
    const QByteArray first = cp949Book(1500, QStringLiteral("ㄱ"));
    ASSERT_TRUE(writeZip(archive, {{QStringLiteral("가.txt"), first},
                                   {QStringLiteral("나.txt"), cp949Book(1500, "ㄴ")}}));
    open(archive);
    ASSERT_TRUE(window->switchEntry(0, true));
    ASSERT_TRUE(window->book().inArchive());
    showSpread(5);
    choose(Encoding::EucJp);
    EXPECT_EQ(window->book().encoding, Encoding::EucJp);
    EXPECT_EQ(window->pages().text.toString(), decodeDocumentAs(first, Encoding::EucJp).text);
    EXPECT_EQ(window->book().archivePath, archive);
    EXPECT_EQ(window->book().shown, 0);

    // The other entry is its own book; back to this one, it is read as chosen.
    ASSERT_TRUE(window->switchEntry(1, true));
    EXPECT_EQ(window->book().encoding, Encoding::Automatic);
    ASSERT_TRUE(window->switchEntry(0, true));
    EXPECT_EQ(window->book().encoding, Encoding::EucJp);
    EXPECT_EQ(window->pages().text.toString(), decodeDocumentAs(first, Encoding::EucJp).text);
    glance();
    EXPECT_EQ(ticked(), QStringList{encodings::encodingCaption(Encoding::EucJp)});
}

TEST_F(EncodingMenu, ABookGoneSaysWhyAndStaysAsItWas) {
    start();
    const QString path = writeBook(QStringLiteral("사라질.txt"), cp949Book(3000));
    open(path);
    showSpread(7);
    const QString text = window->pages().text.toString();
    ASSERT_TRUE(QFile::remove(path));
    dialogs.clear();
    choose(Encoding::Utf8);
    ASSERT_EQ(dialogs.shownOf("msgbox").size(), 1);
    EXPECT_EQ(dialogs.shownOf("msgbox")[0].text, ReadProblemText(DocumentRead::NotABook, path));
    EXPECT_EQ(window->book().encoding, Encoding::Automatic);
    EXPECT_EQ(window->book().path, path);
    EXPECT_EQ(window->pages().text.toString(), text);
    EXPECT_EQ(window->pages().current, 7);
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicSplash")->isVisible());
    glance();
    EXPECT_EQ(ticked(), QStringList{QStringLiteral("자동")});
}

}  // namespace

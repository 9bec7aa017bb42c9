// Reading a book in the real window: resume, navigation by every means, relayout, exit.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <utility>

#include "../common/Controls.h"
#include "ReaderFixture.h"
#include "dialogs/ScriptedDialogs.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "pages/PageModel.h"
#include "pages/Pagination.h"
#include "session/StateFiles.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"
#include "window/WindowFile.h"

namespace {

TEST_F(Reading, FirstStartAsksNothingAndShowsTheDefaults) {
    start();
    EXPECT_TRUE(dialogs.shownOf("msgbox").isEmpty());
    EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->currentText(), "12");
    EXPECT_EQ(control<QComboBox>(*window, "Combo1", 1)->currentText(), "7");
    EXPECT_EQ(window->settings().PageColor, 0x00EDF9FF);
    EXPECT_EQ(window->settings().LineSpacing, 7);
    window->close();
    window.reset();
    EXPECT_FALSE(QFile::exists(folder.file("txtlumofile.txt")));
    EXPECT_FALSE(QFile::exists(folder.file("txtlumoinfo.txt")));
}

TEST_F(Reading, OpenTurnAndCloseWritesTheStateFiles) {
    const QString book = writeBook(QStringLiteral("숫자책.txt"), numberedBook(400));
    start();
    open(book);
    ASSERT_GT(window->pages().count, 8);
    EXPECT_EQ(window->pages().current, 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [숫자책.txt]"));
    EXPECT_EQ(counter(), QStringLiteral("1/%1").arg(window->pages().count));
    EXPECT_TRUE(control<forms::Image>(*window, "CmdNext")->isEnabled());

    release(control<forms::Image>(*window, "CmdNext"),
            Qt::RightButton);  // any mouse button turns the page
    EXPECT_EQ(window->pages().current, 3);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseMove(control<forms::PictureBox>(*window, "PicRead", 1), QPoint(40, 40));
    QTest::keyClick(control<forms::PictureBox>(*window, "PicRead", 1), Qt::Key_Right);
    EXPECT_EQ(window->pages().current, 5);
    QTest::keyClick(control<forms::PictureBox>(*window, "PicRead", 1), Qt::Key_Space);
    EXPECT_EQ(window->pages().current, 7);
    QTest::keyClick(control<forms::PictureBox>(*window, "PicRead", 1), Qt::Key_Backspace);
    EXPECT_EQ(window->pages().current, 5);
    QTest::mouseClick(control<forms::PictureBox>(*window, "PicRead", 0), Qt::LeftButton, {},
                      QPoint(40, 40));
    EXPECT_EQ(window->pages().current, 3);
    QTest::mouseClick(control<forms::PictureBox>(*window, "PicRead", 1), Qt::LeftButton, {},
                      QPoint(40, 40));
    EXPECT_EQ(window->pages().current, 5);
    release(control<forms::Image>(*window, "CmdLast"));
    const int last = window->pages().count % 2 ? window->pages().count : window->pages().count - 1;
    EXPECT_EQ(window->pages().current, last);
    release(control<forms::Image>(*window, "CmdNext"));  // beyond the end: a plain file stays
    EXPECT_EQ(window->pages().current, last);
    release(control<forms::Image>(*window, "CmdFirst"));
    EXPECT_EQ(window->pages().current, 1);
    release(control<forms::Image>(*window, "CmdPrev"));
    EXPECT_EQ(window->pages().current, 1);
    release(control<forms::Image>(*window, "CmdNext"));
    release(control<forms::Image>(*window, "CmdNext"));
    const int pages = window->pages().count;
    const int outerWidth = window->frameGeometry().width();

    window->close();
    window.reset();
    EXPECT_EQ(statefiles::readFile(folder.file("txtlumofile.txt")).value_or(""),
              (book + "\r\n-1 \r\n\r\n-1 \r\n").toUtf8());
    const auto info = statefiles::readFile(folder.file("txtlumoinfo.txt"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->size(), 86);
    const auto settings = statefiles::decode(*info);
    EXPECT_EQ(settings->FontSize, 12);
    EXPECT_EQ(settings->FontSizeIndex, 4);
    EXPECT_EQ(settings->LineSpacingIndex, 6);
    const auto win = statefiles::readFile(folder.file(windowfile::fileName()));
    ASSERT_TRUE(win);
    ASSERT_EQ(win->size(), 26);
    const auto record = windowfile::decode(*win);
    EXPECT_EQ(record->currentPage, 5);
    EXPECT_EQ(record->pageCount, pages);
    EXPECT_EQ(record->placement.width, outerWidth * 15);
}

TEST_F(Reading, WheelTurnsMergeIntoOneSpread) {
    const QString book = writeBook(QStringLiteral("w.txt"), numberedBook(400));
    start();
    open(book);
    auto wheel = [&](int amount) {
        QWheelEvent e(
            QPointF(50, 50),
            control<forms::PictureBox>(*window, "PicRead", 0)->mapToGlobal(QPointF(50, 50)),
            QPoint(), QPoint(0, amount), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(control<forms::PictureBox>(*window, "PicRead", 0), &e);
    };
    for (int i = 0; i < 3; ++i) wheel(-120);
    EXPECT_EQ(window->pages().current, 1);  // nothing until the merging timer fires
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->pages().current == 3; }, 2000));
    QTest::qWait(400);
    EXPECT_EQ(window->pages().current, 3);  // three events, one spread
    wheel(120);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->pages().current == 1; }, 2000));
}

TEST_F(Reading, ThreePageBookShowsABlankFourthPage) {
    start();
    // Learn the page size of this window, then write a book of exactly 2L + 1 lines.
    const QString probe = writeBook(QStringLiteral("probe.txt"), numberedBook(10));
    open(probe);
    const int L = window->pages().linesPerPage;
    ASSERT_GT(L, 2);
    const QString book = writeBook(QStringLiteral("three.txt"), numberedBook(2 * L + 1).chopped(2));
    open(book);
    ASSERT_EQ(window->pages().count, 3);
    release(control<forms::Image>(*window, "CmdNext"));
    EXPECT_EQ(window->pages().current, 3);
    EXPECT_EQ(counter(), "3/3");
    EXPECT_EQ(control<forms::Label>(*window, "lblread", 1)->caption(), "");
    // The right page holds no text, only its number.
    const QImage right = control<forms::PictureBox>(*window, "PicRead", 1)->image();
    const QColor paper(255, 249, 237);
    int ink = 0;
    for (int y = 60; y < right.height() - 20; y += 3)
        for (int x = 30; x < right.width() - 30; x += 3)
            if (right.pixelColor(x, y) != paper) ++ink;
    EXPECT_EQ(ink, 0);
}

TEST_F(Reading, ResizeKeepsTheReadingPosition) {
    const QString book = writeBook(QStringLiteral("r.txt"), numberedBook(2000));
    start(QSize(1000, 700));
    open(book);
    window->pageBar().setValue(window->pages().count / 2 | 1);
    const double ratio = double(window->pages().current) / window->pages().count;
    const int pagesBefore = window->pages().count;
    window->resize(700, 500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() == 700; }, 2000));
    EXPECT_GT(window->pages().count, pagesBefore);  // smaller pages, more of them
    EXPECT_EQ(window->pages().current % 2, 1);
    EXPECT_NEAR(double(window->pages().current) / window->pages().count, ratio, 0.02);
    EXPECT_EQ(counter(),
              QStringLiteral("%1/%2").arg(window->pages().current).arg(window->pages().count));
}

TEST_F(Reading, AHeldPageKeyTurnsOneSpread) {
    const QString book = writeBook(QStringLiteral("k.txt"), numberedBook(400));
    start();
    open(book);
    auto key = [&](QEvent::Type type, bool autoRepeat, ulong time) {
        QKeyEvent e(type, Qt::Key_Right, Qt::NoModifier, QString(), autoRepeat);
        e.setTimestamp(time);
        QCoreApplication::sendEvent(control<forms::PictureBox>(*window, "PicRead", 1), &e);
    };
    // The platform repeats a held key as release-press pairs with one time stamp each; most are
    // marked as repeats, but one read before its press arrived looks like a real release.
    key(QEvent::KeyPress, false, 1000);
    for (ulong t = 1660; t < 2500; t += 40) {
        const bool marked = t != 1700 && t != 2020;
        key(QEvent::KeyRelease, marked, t);
        key(QEvent::KeyPress, marked, t);
    }
    key(QEvent::KeyRelease, false, 2530);
    EXPECT_EQ(window->pages().current, 3);
    // Quick presses each turn, also without time stamps (as from a test tool).
    for (ulong t : {3000, 3100, 0, 0}) {
        key(QEvent::KeyPress, false, t);
        key(QEvent::KeyRelease, false, t ? t + 50 : 0);
    }
    EXPECT_EQ(window->pages().current, 11);
}

// Also when the last spread is reached from one whose number had fewer digits.
TEST_F(Reading, TheBlankRightPageShowsItsWholeNumber) {
    start();
    open(writeBook(QStringLiteral("probe.txt"), numberedBook(10)));
    const int L = window->pages().linesPerPage;
    ASSERT_GT(L, 2);
    for (const int pages : {1, 99}) {
        SCOPED_TRACE(pages);
        open(
            writeBook(QStringLiteral("book%1.txt").arg(pages), numberedBook(pages * L).chopped(2)));
        ASSERT_EQ(window->pages().count, pages);
        release(control<forms::Image>(*window, "CmdLast"));
        ASSERT_EQ(control<forms::Label>(*window, "lblread", 1)->caption(), "");
        // Columns of ink in the top margin of the right page, from the number's place on, short
        // of the page's shaded edge.
        const QImage spread = window->shownSpread();
        const int page = control<forms::PictureBox>(*window, "PicRead", 1)->x(),
                  left = page + control<forms::Label>(*window, "lblread", 1)->x() - 2;
        const QColor paper(255, 249, 237);
        int columns = 0, last = 0;
        for (int x = std::max(left, 0);
             x < page + control<forms::PictureBox>(*window, "PicRead", 1)->width() - 10; ++x)
            for (int y = 0; y < 50; ++y)
                if (spread.pixelColor(x, y) != paper) {
                    ++columns;
                    last = x;
                    break;
                }
        QFont numberFont = control<forms::Label>(*window, "lblread", 1)->font();
        numberFont.setBold(true);
        const QString number = QString::number(pages + 1);
        // The glyphs' ink spans most of their advance; a cut number shows fewer columns.
        EXPECT_GE(columns, QFontMetrics(numberFont).horizontalAdvance(number) * 3 / 4);
        // It ends where a number placed for its width ends, 30 pixels from the page's edge.
        EXPECT_LE(last, page + control<forms::PictureBox>(*window, "PicRead", 1)->width() - 30)
            << "into the right margin";
    }
}

TEST(PageSlices, NeverCutMoreThanAPage) {
    // A book whose text is not in the layout box yet (as early in start-up): the last page runs
    // to the end of what the box holds, not to the end of the book.
    PageModel model;
    model.text = QString(200000, QLatin1Char('x'));
    model.length = model.text.size();
    model.linesPerPage = 20;
    textbox::TextBox box;
    box.setText(QString());
    EXPECT_LE(sliceOfPage(model, box, 1).text.size(), 2);
    box.setText(QStringLiteral("짧은 글\r\n"));
    EXPECT_LE(sliceOfPage(model, box, 1).text.size(), 10);
}

TEST_F(Reading, AResizeWhilePagesAreCountedIsLaidOutToo) {
    const QString book = writeBook(QStringLiteral("n.txt"), numberedBook(3000));
    start(QSize(1000, 700));
    open(book);
    // The count shows the progress panel and lets events run: a resize arrives right then.
    struct OnShow : QObject {
        std::function<void()> act;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show && act) std::exchange(act, nullptr)();
            return false;
        }
    } onShow;
    onShow.act = [&] { QTimer::singleShot(0, window.get(), [&] { window->resize(760, 560); }); };
    control<forms::PictureBox>(*window, "PicSplash")->installEventFilter(&onShow);
    window->resize(900, 650);
    control<forms::PictureBox>(*window, "PicSplash")->removeEventFilter(&onShow);
    ASSERT_EQ(window->size(), QSize(760, 560));
    // Everything is laid out for the final size, and the pages counted for it.
    EXPECT_EQ(control<forms::PictureBox>(*window, "Pic_TxtOut")->width(), 760);
    EXPECT_EQ(control<forms::PictureBox>(*window, "PicRead", 0)->height(),
              control<forms::PictureBox>(*window, "Pic_TxtOut")->height() - 40);
    const int pages = window->pages().count;
    window->RelayoutPages();
    EXPECT_EQ(window->pages().count, pages);
}

TEST_F(Resume, YesOpensTheSavedSpread) {
    const QString book = writeBook(QStringLiteral("이어읽기.txt"), numberedBook(600));
    const int pages = saveSessionAt(book, 5);
    dialogs.answerMsgBox(dlg::vbYes);
    start();
    const auto asked = dialogs.shownOf("msgbox");
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_EQ(asked[0].text, QStringLiteral("기존에 있던 파일을 계속 읽으시겠습니까?"));
    EXPECT_EQ(asked[0].title, QStringLiteral("기존파일읽기"));
    EXPECT_EQ(asked[0].style & 7, dlg::vbYesNo);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북 [이어읽기.txt]"));
    EXPECT_EQ(window->pages().current, 5);
    EXPECT_EQ(window->pages().count, pages);
    EXPECT_EQ(counter(), QStringLiteral("5/%1").arg(pages));
    EXPECT_TRUE(control<QCheckBox>(*window, "chkline")->isChecked());
    EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->currentText(), "14");
    EXPECT_EQ(control<QComboBox>(*window, "Combo1", 1)->currentText(), "3");
    EXPECT_EQ(window->settings().PageColor, 0x00D0E0F0);
    EXPECT_TRUE(control<forms::Image>(*window, "CmdNext")->isEnabled());
}

TEST_F(Resume, NoKeepsTheBookClosedButTheAppearance) {
    const QString book = writeBook(QStringLiteral("b.txt"), numberedBook(100));
    saveSession(book, 5, 40);
    dialogs.answerMsgBox(dlg::vbNo);
    start();
    EXPECT_EQ(window->pages().length, 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("루모북"));
    EXPECT_FALSE(control<forms::Image>(*window, "CmdNext")->isEnabled());
    EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->currentText(), "14");
    window->close();
    window.reset();
    // The same document is remembered again.
    EXPECT_TRUE(statefiles::readFile(folder.file("txtlumofile.txt"))->startsWith(book.toUtf8()));
}

TEST_F(Resume, AMissingDocumentAsksNothingAndUsesTheDefaults) {
    // Gone, or a folder by the book's name now.
    QDir().mkpath(folder.file("폴더 이름.txt"));
    for (const char* name : {"gone.txt", "폴더 이름.txt"}) {
        saveSession(folder.file(QString::fromUtf8(name)), 5, 40);
        start();
        for (const auto& box : dialogs.shownOf("msgbox"))
            EXPECT_NE(box.title, QStringLiteral("기존파일읽기")) << name;
        EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->currentText(), "12") << name;
        EXPECT_EQ(window->settings().PageColor, 0x00EDF9FF) << name;
        EXPECT_EQ(window->pages().length, 0) << name;
        window->close();
        window.reset();
    }
}

TEST_F(Resume, DamagedStateFilesFallBackToDefaults) {
    const QString book = writeBook(QStringLiteral("d.txt"), numberedBook(100));
    writeFile("txtlumofile.txt", book.toUtf8());  // one line only
    writeFile("txtlumoinfo.txt", "short");
    writeFile(windowfile::fileName(), "x");
    dialogs.answerMsgBox(dlg::vbYes);
    start();
    EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->currentText(), "12");
    // No reading position to go back to: the book opens at its first page.
    EXPECT_GT(window->pages().length, 0);
    EXPECT_EQ(window->pages().current, 1);
    EXPECT_GT(window->pages().count, 0);
}

TEST_F(Resume, WithoutAUsablePositionTheBookOpensAtPageOne) {
    const QString book = writeBook(QStringLiteral("p.txt"), numberedBook(600));
    struct Case {
        const char* name;
        int32_t current, pages;  // 0, 0: no window file at all
    };
    const Case cases[] = {
        {"no window file", 0, 0}, {"page 5001 of 10", 5001, 10},
        {"an even page", 4, 40},  {"a negative page", -3, 40},
        {"no pages", 1, 0},       {"more pages than characters", 1, 1000000000},
    };
    for (const Case& c : cases) {
        saveSession(book, c.current, c.pages);
        if (c.pages == 0 && c.current == 0) QFile::remove(folder.file(windowfile::fileName()));
        dialogs.answerMsgBox(dlg::vbYes);
        start();
        EXPECT_EQ(window->pages().current, 1) << c.name;
        EXPECT_GT(window->pages().count, 1) << c.name;
        EXPECT_LT(window->pages().count, 600) << c.name;
        EXPECT_EQ(counter(), QStringLiteral("1/%1").arg(window->pages().count)) << c.name;
        EXPECT_TRUE(control<forms::Image>(*window, "CmdNext")->isEnabled()) << c.name;
        release(control<forms::Image>(*window, "CmdNext"));
        const int pages = window->pages().count;
        window->close();
        window.reset();
        // What is written back is the position the reader really had.
        const auto record = windowfile::decode(
            statefiles::readFile(folder.file(windowfile::fileName())).value_or(""));
        ASSERT_TRUE(record) << c.name;
        EXPECT_EQ(record->currentPage, 3) << c.name;
        EXPECT_EQ(record->pageCount, pages) << c.name;
    }
}

// A count saved for another layout (another font size here, another screen for a user) is no
// count for this one: the pages are counted again and the reader stays at the same place of the
// book, so the end of the book is still reached.
TEST_F(Resume, ACountMadeForAnotherLayoutIsCountedAgainAtTheSamePlace) {
    const QString book = writeBook(QStringLiteral("s.txt"), numberedBook(600));
    const int pages14 = saveSessionAt(book, 9);
    QFile::remove(folder.file("txtlumoinfo.txt"));
    dialogs.answerMsgBox(dlg::vbYes);
    start();
    EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->currentText(), "12");
    const int pages = window->pages().count;
    EXPECT_NE(pages, pages14);
    EXPECT_EQ(pages, (control<textbox::TextBox>(*window, "RichTextBox1")->lineCount() +
                      window->pages().linesPerPage - 1) /
                         window->pages().linesPerPage);
    const int place = int(8.0 / pages14 * pages) + 1;
    EXPECT_EQ(window->pages().current, place % 2 ? place : place - 1);
    EXPECT_EQ(counter(), QStringLiteral("%1/%2").arg(window->pages().current).arg(pages));
    EXPECT_EQ(control<forms::Label>(*window, "lblread", 0)->caption(),
              QString::number(window->pages().current));
    // The last line of the book is on the last pages, which the page bar reaches.
    const auto last = window->PageText(pages - 1).text + window->PageText(pages).text;
    EXPECT_TRUE(last.contains(QStringLiteral("줄 600"))) << last.toStdString();
}

}  // namespace

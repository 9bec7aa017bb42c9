// Back from a jump in the real window: after a chapter, a find match, the first or last spread,
// the bookmark or the page bar moved far, Alt+Left and the mouse's back button bring the spread
// left back, and Alt+Right and the forward button the jump's spread again; from the pages and
// from elsewhere in the window. Page turns are not remembered, another book forgets the places,
// and a place holds across a relayout.

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <functional>

#include "../common/Controls.h"
#include "ReaderFixture.h"
#include "find/ChapterPanel.h"
#include "find/FindBar.h"
#include "forms/PictureBox.h"
#include "textbox/TextBox.h"

namespace {

// Six chapters of 300 numbered lines, "줄 <chapter><line>"; a needle in the fifth.
QByteArray chapterBook() {
    QByteArray b = "작품 소개\r\n";
    for (int k = 1; k <= 6; ++k) {
        b += "\r\n제 " + QByteArray::number(k) + " 화\r\n\r\n";
        for (int i = 1; i <= 300; ++i) {
            b += "줄 " + QByteArray::number(k * 1000 + i);
            if (k == 5 && i == 150) b += " 바늘";
            b += "\r\n";
        }
    }
    return b;
}

// How a test goes back and forward.
enum class Way {
    KeysOnPages,    // Alt+Left / Alt+Right while the pages have the keyboard
    KeysInFindBar,  // the same while the find bar's box has it
    MouseOnPages,   // the mouse's back and forward buttons over a page
    MouseOnWindow,  // the same over the window's frame, away from the pages
};

class Jumps : public Reading {
protected:
    void openChapterBook() {
        start();
        open(writeBook(QStringLiteral("목차.txt"), chapterBook()));
        ASSERT_GT(window->pages().count, 60);
    }
    forms::PictureBox* page(int side) const {
        return control<forms::PictureBox>(*window, "PicRead", side);
    }
    int32_t current() const { return window->pages().current; }
    int32_t lastSpread() const {
        const int32_t count = window->pages().count;
        return count % 2 ? count : count - 1;
    }
    // The text of the spread on screen.
    QString spreadText() const {
        return window->PageText(current()).text + window->PageText(current() + 1).text;
    }
    QLineEdit* txtFind() const { return control<QLineEdit>(*window, "txtFind"); }
    FindBar* findBar() const { return control<FindBar>(*window, "PicFind"); }
    ChapterPanel* chapterPanel() const { return control<ChapterPanel>(*window, "PicChapter"); }
    // The left page of the spread holding chapter k's heading (0-based).
    int32_t chapterSpread(size_t k) const {
        const int32_t position = chapterPanel()->headings().at(k).position;
        const int lines = std::max(1, window->pages().linesPerPage);
        const int32_t p =
            control<textbox::TextBox>(*window, "RichTextBox1")->lineFromChar(position) / lines + 1;
        return p % 2 ? p : p - 1;
    }
    void travel(Way way, bool back) {
        switch (way) {
            case Way::KeysOnPages:
            case Way::KeysInFindBar: {
                QWidget* target =
                    way == Way::KeysOnPages ? static_cast<QWidget*>(page(0)) : txtFind();
                QTest::keyClick(target, back ? Qt::Key_Left : Qt::Key_Right, Qt::AltModifier);
                break;
            }
            case Way::MouseOnPages:
            case Way::MouseOnWindow: {
                QWidget* target =
                    way == Way::MouseOnPages ? static_cast<QWidget*>(page(1)) : window.get();
                QTest::mouseClick(target, back ? Qt::BackButton : Qt::ForwardButton, {},
                                  way == Way::MouseOnPages ? QPoint(200, 80) : QPoint(3, 3));
                break;
            }
        }
    }
    void back(Way way = Way::KeysOnPages) { travel(way, true); }
    void forward(Way way = Way::KeysOnPages) { travel(way, false); }
    void setFontSize(const char* size) {
        auto* box = control<QComboBox>(*window, "Cb_FontSize");
        box->setCurrentIndex(box->findText(QString::fromLatin1(size)));
        window->Cb_FontSize_Click();
    }
    // Sets the bookmark on the third line of spread `spread`'s left page.
    void bookmarkSpread(int32_t spread) {
        window->pageBar().setValue(spread);
        ASSERT_EQ(current(), spread);
        const QPoint at(200, 50 + 2 * window->pages().lineHeight + 3);
        QTest::mousePress(page(0), Qt::RightButton, {}, at);
        QTest::mouseRelease(page(0), Qt::RightButton, {}, at);
        ASSERT_EQ(window->settings().BookmarkSet, -1);
    }
};

TEST_F(Jumps, EveryKindOfJumpComesBackAndGoesForwardAgain) {
    openChapterBook();
    const struct Case {
        const char* name;
        std::function<void()> before;  // what the case needs first (a bookmark)
        std::function<int32_t()> from;
        std::function<void()> jump;
        std::function<bool()> landed;  // the jump's spread is on screen
        Way way;
    } cases[] = {
        {"목차: a chapter from the list", nullptr, [] { return 5; },
         [&] {
             QTest::keyClick(page(0), Qt::Key_T, Qt::ControlModifier);
             auto* list = control<QTreeWidget>(*window, "LstChapter");
             list->setCurrentItem(list->topLevelItem(3));
             QTest::keyClick(list, Qt::Key_Return);
         },
         [&] { return current() == chapterSpread(3) && !chapterPanel()->isVisible(); },
         Way::KeysOnPages},
        {"찾기: a find match, the keys in the find bar", nullptr, [] { return 3; },
         [&] {
             QTest::keyClick(page(0), Qt::Key_F, Qt::ControlModifier);
             txtFind()->setText(QStringLiteral("바늘"));
             QTest::keyClick(txtFind(), Qt::Key_Return);
         },
         [&] { return spreadText().contains(QStringLiteral("줄 5150 바늘")); }, Way::KeysInFindBar},
        {"처음: the first spread, the mouse on a page", nullptr, [] { return 31; },
         [&] { release(control<forms::Image>(*window, "CmdFirst")); },
         [&] { return current() == 1; }, Way::MouseOnPages},
        {"끝: the last spread, the mouse on the window", nullptr, [] { return 3; },
         [&] { release(control<forms::Image>(*window, "CmdLast")); },
         [&] { return current() == lastSpread(); }, Way::MouseOnWindow},
        {"책갈피: the bookmark", [&] { bookmarkSpread(41); }, [] { return 7; },
         [&] { release(control<forms::Image>(*window, "Cmdleaves")); },
         [&] { return current() == 41; }, Way::KeysOnPages},
        // One spread on, as a turn goes, but a jump all the same.
        {"책갈피: the bookmark on the next spread", [&] { bookmarkSpread(23); }, [] { return 21; },
         [&] { release(control<forms::Image>(*window, "Cmdleaves")); },
         [&] { return current() == 23; }, Way::MouseOnPages},
        {"the page bar moved far", nullptr, [] { return 9; },
         [&] { window->pageBar().setValue(35); }, [&] { return current() == 35; },
         Way::KeysOnPages},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.before) c.before();
        const int32_t from = c.from();
        window->pageBar().setValue(from);
        ASSERT_EQ(current(), from);
        c.jump();
        ASSERT_TRUE(c.landed()) << "at " << current();
        const int32_t to = current();
        ASSERT_NE(to, from);
        const int32_t bookmarkSet = window->settings().BookmarkSet;
        const int32_t bookmark = window->settings().BookmarkPosition;

        back(c.way);
        EXPECT_EQ(current(), from);
        forward(c.way);
        EXPECT_EQ(current(), to);
        back(c.way);
        EXPECT_EQ(current(), from);
        // Neither a page turn nor a bookmark came with them.
        EXPECT_EQ(window->settings().BookmarkSet, bookmarkSet);
        EXPECT_EQ(window->settings().BookmarkPosition, bookmark);
        if (findBar()->isVisible()) QTest::keyClick(txtFind(), Qt::Key_Escape);
        ASSERT_FALSE(window->isMinimized());
    }
}

TEST_F(Jumps, PageTurnsAndTheSpreadOnScreenAreNotRemembered) {
    openChapterBook();
    // To the spread already on screen: nothing moves, nothing is remembered.
    release(control<forms::Image>(*window, "CmdFirst"));
    window->pageBar().setValue(1);
    window->pageBar().setValue(2);  // its right page
    ASSERT_EQ(current(), 1);
    // Turns by the buttons, the keys and the page bar's track (one spread at a time).
    release(control<forms::Image>(*window, "CmdNext"));
    QTest::keyClick(page(1), Qt::Key_Right);
    QTest::keyClick(page(1), Qt::Key_Space);
    window->pageBar().setValue(9);
    window->pageBar().setValue(7);
    release(control<forms::Image>(*window, "CmdPrev"));
    ASSERT_EQ(current(), 5);
    // Nothing to go back or forward to: the spread stays, and Alt+Left turns no page.
    for (Way way : {Way::KeysOnPages, Way::MouseOnPages, Way::MouseOnWindow}) {
        back(way);
        EXPECT_EQ(current(), 5);
        forward(way);
        EXPECT_EQ(current(), 5);
    }
    EXPECT_EQ(window->settings().BookmarkSet, 0);
    // The arrows without Alt still turn.
    QTest::keyClick(page(1), Qt::Key_Left);
    EXPECT_EQ(current(), 3);
    QTest::keyClick(page(1), Qt::Key_Right);
    EXPECT_EQ(current(), 5);
}

TEST_F(Jumps, ANewJumpClearsTheWayForward) {
    openChapterBook();
    window->pageBar().setValue(5);   // 1 -> 5
    window->pageBar().setValue(41);  // 5 -> 41
    back();
    ASSERT_EQ(current(), 5);
    release(control<forms::Image>(*window, "CmdLast"));  // 5 -> the end; 41 is forgotten
    forward();
    EXPECT_EQ(current(), lastSpread());
    back();
    EXPECT_EQ(current(), 5);
    back();
    EXPECT_EQ(current(), 1);
    back();  // nothing older
    EXPECT_EQ(current(), 1);
    forward();
    EXPECT_EQ(current(), 5);
    forward();
    EXPECT_EQ(current(), lastSpread());
    forward();
    EXPECT_EQ(current(), lastSpread());
}

TEST_F(Jumps, AHeldKeyGoesBackOnceAndItsReleaseTurnsNoPage) {
    openChapterBook();
    window->pageBar().setValue(21);
    window->pageBar().setValue(41);
    auto key = [&](QEvent::Type type, Qt::KeyboardModifiers mods, bool autoRepeat) {
        QKeyEvent e(type, Qt::Key_Left, mods, QString(), autoRepeat);
        QCoreApplication::sendEvent(page(0), &e);
    };
    key(QEvent::KeyPress, Qt::AltModifier, false);
    for (int i = 0; i < 4; ++i) {
        key(QEvent::KeyRelease, Qt::AltModifier, true);
        key(QEvent::KeyPress, Qt::AltModifier, true);
    }
    // Alt let go first: the arrow comes up alone, and turns nothing.
    key(QEvent::KeyRelease, Qt::NoModifier, false);
    EXPECT_EQ(current(), 21);
    // The next plain press and release of the arrow turns as ever.
    key(QEvent::KeyPress, Qt::NoModifier, false);
    key(QEvent::KeyRelease, Qt::NoModifier, false);
    EXPECT_EQ(current(), 19);
}

TEST_F(Jumps, AnotherBookForgetsThePlaces) {
    openChapterBook();
    window->pageBar().setValue(31);
    release(control<forms::Image>(*window, "CmdLast"));
    open(writeBook(QStringLiteral("줄.txt"), numberedBook(3000)));
    ASSERT_EQ(current(), 1);
    back();
    EXPECT_EQ(current(), 1);
    forward();
    EXPECT_EQ(current(), 1);
    // The new book's own jumps come back, and no further.
    release(control<forms::Image>(*window, "CmdLast"));
    back();
    EXPECT_EQ(current(), 1);
    back();
    EXPECT_EQ(current(), 1);
    forward();
    EXPECT_EQ(current(), lastSpread());
}

TEST_F(Jumps, APlaceHoldsAcrossARelayout) {
    openChapterBook();
    auto firstLineOf = [&](int32_t spread) {
        return window->PageText(spread).text.section(QStringLiteral("\r\n"), 0, 0);
    };
    window->pageBar().setValue(41);
    const int64_t left = window->spreadPlace();
    const QString leftLine = firstLineOf(41);
    ASSERT_TRUE(leftLine.startsWith(QStringLiteral("줄 "))) << leftLine.toStdString();
    window->pageBar().setValue(81);
    const QString size = control<QComboBox>(*window, "Cb_FontSize")->currentText();
    const int lines = window->pages().linesPerPage;
    setFontSize("24");
    ASSERT_LT(window->pages().linesPerPage, lines);
    // Page 41 now holds other lines: the way back goes by the place, not the page number.
    const int32_t spread = window->spreadOfPlace(left);
    ASSERT_NE(spread, 41);
    const QString hereLine = firstLineOf(current());
    back();
    EXPECT_EQ(current(), spread);
    EXPECT_TRUE(spreadText().contains(leftLine)) << leftLine.toStdString();
    // And forward, in the first size again, to the lines on screen when the way back was taken.
    setFontSize(size.toLatin1().constData());
    ASSERT_EQ(window->pages().linesPerPage, lines);
    forward();
    EXPECT_TRUE(spreadText().contains(hereLine)) << hereLine.toStdString();
    EXPECT_NE(current(), spread);
}

TEST_F(Jumps, TwentyPlacesAreKept) {
    start();
    open(writeBook(QStringLiteral("줄.txt"), numberedBook(6000)));
    ASSERT_GT(window->pages().count, 110);
    // 25 jumps of two spreads each, from 1 to 101.
    for (int32_t to = 5; to <= 101; to += 4) window->pageBar().setValue(to);
    ASSERT_EQ(current(), 101);
    for (int i = 0; i < 30; ++i) back();
    // The oldest of the twenty places left: the spread 101 - 20 * 4.
    EXPECT_EQ(current(), 21);
}

}  // namespace

// The find bar and the chapter list in the real window: opened from the keyboard and the
// pages' context menu, stepping from match to match with the spreads and marks that go with
// it, the chapters with their pages through a relayout, and Escape taken by the open panel.

#include <QAction>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>

#include "../common/Controls.h"
#include "ReaderFixture.h"
#include "find/ChapterPanel.h"
#include "find/FindBar.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "pages/Bookmark.h"
#include "textbox/TextBox.h"

namespace {

// Numbered lines; `extra` is added to the lines named.
QByteArray bookWith(int lines, const std::map<int, QByteArray>& extra) {
    QByteArray b;
    for (int i = 1; i <= lines; ++i) {
        b += "줄 " + QByteArray::number(i);
        if (auto it = extra.find(i); it != extra.end()) b += " " + it->second;
        b += "\r\n";
    }
    return b;
}

bool showsColour(QWidget* page, QColor colour) {
    const QImage shot = page->grab().toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == colour) return true;
    return false;
}

class Panels : public Reading {
protected:
    void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(w, key, mods);
    }
    // The left page of the spread holding 1-based line n of a book of one layout line each.
    int32_t spreadOfLine(int n) const {
        return bookmark::spreadOfLine(n - 1, window->pages().linesPerPage);
    }
    bool marked(QColor c) const {
        return showsColour(::control<forms::PictureBox>(*window, "PicRead", 0), c) ||
               showsColour(::control<forms::PictureBox>(*window, "PicRead", 1), c);
    }
    const QColor kMatch{255, 228, 128}, kCurrent{255, 164, 72};
    // The panels and their controls, by name.
    template <typename T>
    T* control(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    FindBar* findBar() const { return control<FindBar>("PicFind"); }
    QLineEdit* txtFind() const { return control<QLineEdit>("txtFind"); }
    forms::Label* lblFind() const { return control<forms::Label>("lblFind"); }
    ChapterPanel* chapterPanel() const { return control<ChapterPanel>("PicChapter"); }
    // The page that holds byte `position` of the book in the current layout.
    int32_t pageOfPosition(int32_t position) const {
        const int lines = std::max(1, window->pages().linesPerPage);
        return ::control<textbox::TextBox>(*window, "RichTextBox1")->lineFromChar(position) /
                   lines +
               1;
    }
};

TEST_F(Panels, TheFindBarStepsThroughTheBookAndTakesEscape) {
    start();
    open(writeBook(QStringLiteral("찾기.txt"), bookWith(3000, {{700, "바늘"},
                                                               {701, "바늘 바늘"},
                                                               {2500, "바늘"},
                                                               {1200, "NEEDLE"},
                                                               {1300, "Needle"}})));
    ASSERT_GT(window->pages().count, 50);
    QStringList menu;
    for (QAction* a : ::control<QMenu>(*window, "PageMenu")->actions()) menu << a->text();
    EXPECT_TRUE(menu.contains("찾기(Ctrl+F)") && menu.contains("목차(Ctrl+T)"))
        << menu.join('|').toStdString();

    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(findBar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), txtFind());
    // Hangul comes through the input method: composed, then committed syllable by syllable.
    for (const QString& syllable : {QStringLiteral("바"), QStringLiteral("늘")}) {
        QInputMethodEvent composing(QStringLiteral("ㅂ"), {});
        QApplication::sendEvent(txtFind(), &composing);
        QInputMethodEvent commit;
        commit.setCommitString(syllable);
        QApplication::sendEvent(txtFind(), &commit);
    }
    EXPECT_EQ(txtFind()->text(), "바늘");
    // Typing does not wait for a count: it comes once typing pauses.
    EXPECT_TRUE(findBar()->matches().empty());
    EXPECT_EQ(findBar()->state(), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return findBar()->state() == "전체 4개"; }, 2000));
    EXPECT_EQ(window->pages().current, 1);

    // Enter steps from the spread on screen; the marks show on the spread of the match.
    const struct {
        Qt::KeyboardModifiers mods;
        const char* state;
        int line;
    } steps[] = {
        {{}, "1 / 4", 700},
        {{}, "2 / 4", 701},
        {{}, "3 / 4", 701},
        {{}, "4 / 4", 2500},
        {{}, "1 / 4 (처음부터 다시)", 700},
        {Qt::ShiftModifier, "4 / 4 (끝부터 다시)", 2500},
        {Qt::ShiftModifier, "3 / 4", 701},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.state);
        press(txtFind(), Qt::Key_Return, step.mods);
        EXPECT_EQ(findBar()->state(), step.state);
        EXPECT_EQ(window->pages().current, spreadOfLine(step.line));
        EXPECT_TRUE(marked(kCurrent));
    }
    EXPECT_EQ(lblFind()->caption(), "3 / 4");
    EXPECT_TRUE(marked(kMatch));  // the other match of the line, beside the current one

    // F3 goes on from the spread on screen once the reader has turned elsewhere.
    release(::control<forms::Image>(*window, "CmdFirst"));
    ASSERT_EQ(window->pages().current, 1);
    EXPECT_FALSE(marked(kCurrent));
    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_F3);
    EXPECT_EQ(findBar()->state(), "1 / 4");
    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(findBar()->state(), "4 / 4 (끝부터 다시)");

    // Latin letters without case; a word that is not there.
    txtFind()->setText(QStringLiteral("needle"));
    press(txtFind(), Qt::Key_Return);
    // From line 2500's spread on there is none: round to line 1200.
    EXPECT_EQ(findBar()->state(), "1 / 2 (처음부터 다시)");
    EXPECT_EQ(window->pages().current, spreadOfLine(1200));
    txtFind()->setText(QStringLiteral("없는 말"));
    const int32_t before = window->pages().current;
    press(txtFind(), Qt::Key_Return);
    EXPECT_EQ(lblFind()->caption(), "찾을 수 없습니다");
    EXPECT_EQ(window->pages().current, before);

    // Escape closes the bar and only the bar; without it Escape minimises as ever.
    txtFind()->setText(QStringLiteral("바늘"));
    press(txtFind(), Qt::Key_Return);
    ASSERT_TRUE(marked(kCurrent));
    press(txtFind(), Qt::Key_Escape);
    EXPECT_FALSE(findBar()->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(marked(kCurrent) || marked(kMatch));
    ::control<forms::PictureBox>(*window, "PicRead", 0)->setFocus();
    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_Escape);
    EXPECT_TRUE(window->windowState() & Qt::WindowMinimized);
}

TEST_F(Panels, TheChapterListShowsPagesFollowsRelayoutsAndTakesEscape) {
    QByteArray book = "작품 소개\r\n";
    for (int k = 1; k <= 5; ++k) {
        book += "\r\n제 " + QByteArray::number(k) + " 화\r\n\r\n" + numberedBook(300);
        if (k == 2) book += "\r\n3화를 봤어\r\n";  // dialogue, no heading
    }
    start();
    open(writeBook(QStringLiteral("목차.txt"), book));
    const std::vector<chapters::Heading>& headings = chapterPanel()->headings();
    ASSERT_EQ(headings.size(), 5u);
    auto pageOf = [&](int k) { return pageOfPosition(headings[size_t(k)].position); };
    // Somewhere inside the third chapter.
    window->pageBar().setValue(pageOf(2) + 4);
    ASSERT_GT(pageOf(3), window->pages().current + 1);

    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(chapterPanel()->isVisible());
    QTreeWidget* list = control<QTreeWidget>("LstChapter");
    EXPECT_EQ(QApplication::focusWidget(), list);
    ASSERT_EQ(list->topLevelItemCount(), 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(list->topLevelItem(k)->text(0), QStringLiteral("제 %1 화").arg(k + 1));
        EXPECT_EQ(list->topLevelItem(k)->text(1), QString::number(pageOf(k)));
    }
    EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 2);

    // Down and Enter: the fourth chapter's first spread, the odd page as everywhere.
    press(list, Qt::Key_Down);
    // The release goes wherever the keyboard is then: on a page it would turn the page.
    QTest::keyPress(list, Qt::Key_Return);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(chapterPanel()->isVisible());
    EXPECT_EQ(window->pages().current, pageOf(3) % 2 ? pageOf(3) : pageOf(3) - 1);

    // A larger font: the same chapters on other pages, in the open list too.
    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_T, Qt::ControlModifier);
    const QString fifthBefore = list->topLevelItem(4)->text(1);
    EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 3);
    ::control<QComboBox>(*window, "Cb_FontSize")
        ->setCurrentIndex(::control<QComboBox>(*window, "Cb_FontSize")->findText("24"));
    window->Cb_FontSize_Click();
    ASSERT_TRUE(chapterPanel()->isVisible());
    EXPECT_NE(list->topLevelItem(4)->text(1), fifthBefore);
    EXPECT_EQ(list->topLevelItem(4)->text(1), QString::number(pageOf(4)));
    // A double click shows the chapter clicked.
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    // (the first click of the two, then the second as a double click)
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_FALSE(chapterPanel()->isVisible());
    EXPECT_EQ(window->pages().current, pageOf(1) % 2 ? pageOf(1) : pageOf(1) - 1);

    // Escape closes the list, not the window; a book without headings says so.
    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_T, Qt::ControlModifier);
    press(list, Qt::Key_Escape);
    EXPECT_FALSE(chapterPanel()->isVisible());
    EXPECT_FALSE(window->isMinimized());
    open(writeBook(QStringLiteral("줄.txt"), numberedBook(200)));
    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(control<forms::Label>("lblChapterNone")->isVisible());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(control<forms::Label>("lblChapterNone")->caption(), "목차가 없습니다");
    press(::control<forms::PictureBox>(*window, "PicRead", 0), Qt::Key_Escape);
    EXPECT_FALSE(chapterPanel()->isVisible());
    EXPECT_FALSE(window->isMinimized());
}

}  // namespace

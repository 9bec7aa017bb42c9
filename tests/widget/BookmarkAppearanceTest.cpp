// The bookmark and the tool bar's appearance controls in the real window: set, follow and
// remove the bookmark, its entry, the font box, sizes, bold, colours and their palette, and
// the settings saved and restored byte by byte.

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QtEndian>

#include "../common/Controls.h"
#include "../common/ZipWriter.h"
#include "ReaderFixture.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"
#include "pages/Palette.h"
#include "session/StateFiles.h"

namespace {

// Counts how often the progress panel comes up: once for every page count.
class CountWatch : public QObject {
public:
    explicit CountWatch(QWidget* panel) { panel->installEventFilter(this); }
    int counts = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) ++counts;
        return false;
    }
};

class Bookmarks : public Reading {
protected:
    // Opens a book of 3000 numbered lines and shows spread `page`.
    void openBook(int page = 1) {
        start();
        open(writeBook(QStringLiteral("책.txt"), numberedBook(3000)));
        ASSERT_GT(window->pages().count, page + 1);
        window->pageBar().setValue(page);
        ASSERT_EQ(window->pages().current, page);
    }
    // The y of line `row` (0-based) of a page, a little below its top.
    int rowY(int row) const { return 50 + row * window->pages().lineHeight + 3; }
    void rightClick(int side, int y, Qt::MouseButton b = Qt::RightButton) {
        QTest::mousePress(control<forms::PictureBox>(*window, "PicRead", side), b, {},
                          QPoint(200, y));
        QTest::mouseRelease(control<forms::PictureBox>(*window, "PicRead", side), b, {},
                            QPoint(200, y));
    }
    // The text of the line beside the shown marker, read from the page it is on.
    QString markedLine() const {
        for (int side = 0; side < 2; ++side) {
            const forms::Image* marker = control<forms::Image>(*window, "ImgRead", side);
            if (!marker->isVisible()) continue;
            const QStringList lines =
                window->PageText(window->pages().current + side).text.split(QStringLiteral("\r\n"));
            return lines.value((marker->y() - 50) / window->pages().lineHeight);
        }
        return {};
    }
};

TEST_F(Bookmarks, SetSurvivesALargerFontAndIsFollowed) {
    openBook(5);
    rightClick(1, rowY(3));
    const int L = window->pages().linesPerPage;
    const QString line = QStringLiteral("줄 %1").arg(5 * L + 4);  // page 6, its fourth line
    ASSERT_EQ(window->settings().BookmarkSet, -1);
    EXPECT_EQ(window->settings().BookmarkEntry, 0);
    EXPECT_TRUE(control<forms::Image>(*window, "ImgRead", 1)->isVisible());
    EXPECT_FALSE(control<forms::Image>(*window, "ImgRead", 0)->isVisible());
    EXPECT_EQ(control<forms::Image>(*window, "ImgRead", 1)->pos(),
              QPoint(15, 50 + 3 * window->pages().lineHeight));
    EXPECT_EQ(markedLine(), line);

    // A larger font moves the line to another page; the button still finds it.
    control<QComboBox>(*window, "Cb_FontSize")
        ->setCurrentIndex(control<QComboBox>(*window, "Cb_FontSize")->findText("24"));
    window->Cb_FontSize_Click();
    ASSERT_LT(window->pages().linesPerPage, L);
    release(control<forms::Image>(*window, "CmdFirst"));
    ASSERT_EQ(window->pages().current, 1);
    release(control<forms::Image>(*window, "Cmdleaves"));
    EXPECT_GT(window->pages().current, 5);
    EXPECT_EQ(markedLine(), line);
    // A middle click sets it too.
    rightClick(0, rowY(0), Qt::MiddleButton);
    EXPECT_EQ(markedLine(), QStringLiteral("줄 %1").arg(
                                (window->pages().current - 1) * window->pages().linesPerPage + 1));
}

TEST_F(Bookmarks, RemovedByItsMarkerAndTheButtonSaysSo) {
    openBook(3);
    rightClick(0, rowY(1));
    QTest::mouseClick(control<forms::Image>(*window, "ImgRead", 0), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_FALSE(control<forms::Image>(*window, "ImgRead", 0)->isVisible());
    EXPECT_EQ(window->settings().BookmarkSet, 0);
    EXPECT_EQ(window->settings().BookmarkPosition, 0);
    release(control<forms::Image>(*window, "Cmdleaves"));
    const auto boxes = dialogs.shownOf("msgbox");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text,
              QStringLiteral(" 책갈피가 없습니다.\n♣ 책갈피 설정 -> 마우스오른쪽 클릭 ♣"));
    EXPECT_EQ(boxes[0].title, QStringLiteral("루모북"));
    EXPECT_EQ(boxes[0].style & 0x70, dlg::vbInformation);
    EXPECT_EQ(window->pages().current, 3);
    // The right button on the bookmark button does nothing at all.
    release(control<forms::Image>(*window, "Cmdleaves"), Qt::RightButton);
    EXPECT_EQ(dialogs.shownOf("msgbox").size(), 1);
}

// The spread drawn again shows the one marker where the click put it: the right page's first
// line is not also marked on the empty row below a left page that ends with a line break, and
// that row sets nothing.
TEST_F(Bookmarks, TheMarkerIsDrawnOnTheRowTheClickSetItOn) {
    openBook(3);
    const int L = window->pages().linesPerPage;
    const struct {
        int side, row;
        bool sets;
    } cases[] = {{1, 0, true}, {0, 0, true}, {0, L - 1, true}, {1, L - 1, true}, {0, L, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "side " << c.side << " row " << c.row);
        window->removeBookmark();
        rightClick(c.side, rowY(c.row));
        ASSERT_EQ(window->settings().BookmarkSet, c.sets ? -1 : 0);
        if (!c.sets) continue;
        const QPoint at = control<forms::Image>(*window, "ImgRead", c.side)->pos();
        window->ShowSpread(window->pages().current, 0);
        EXPECT_TRUE(control<forms::Image>(*window, "ImgRead", c.side)->isVisible());
        EXPECT_EQ(control<forms::Image>(*window, "ImgRead", c.side)->pos(), at);
        EXPECT_FALSE(control<forms::Image>(*window, "ImgRead", 1 - c.side)->isVisible());
    }
}

// The marker lies on its line: only the left button removes the bookmark; another button sets
// it on that line, as beside the marker.
TEST_F(Bookmarks, OnlyTheLeftButtonOnTheMarkerRemovesIt) {
    openBook(3);
    for (const Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
        SCOPED_TRACE(int(b));
        rightClick(1, rowY(2));
        rightClick(0, rowY(4));
        const auto set = window->settings();
        const QPoint at = control<forms::Image>(*window, "ImgRead", 0)->pos();
        QTest::mouseClick(control<forms::Image>(*window, "ImgRead", 0), b, {}, QPoint(5, 5));
        const bool removes = b == Qt::LeftButton;
        EXPECT_EQ(window->settings().BookmarkSet, removes ? 0 : -1);
        EXPECT_EQ(window->settings().BookmarkPosition, removes ? 0 : set.BookmarkPosition);
        EXPECT_EQ(control<forms::Image>(*window, "ImgRead", 0)->isVisible(), !removes);
        EXPECT_EQ(control<forms::Image>(*window, "ImgRead", 0)->pos(), at);
        EXPECT_FALSE(control<forms::Image>(*window, "ImgRead", 1)->isVisible());
    }
}

TEST_F(Bookmarks, AClickBesideEveryLineLeavesTheBookmarkAsItWas) {
    openBook(3);
    rightClick(1, rowY(2));
    const auto before = window->settings();
    const QPoint marker = control<forms::Image>(*window, "ImgRead", 1)->pos();
    for (int y : {5, 30, 45}) rightClick(0, y);  // the top margin holds no line
    rightClick(1, control<forms::PictureBox>(*window, "PicRead", 1)->height() - 5);
    EXPECT_EQ(window->settings().BookmarkPosition, before.BookmarkPosition);
    EXPECT_EQ(window->settings().BookmarkSet, -1);
    EXPECT_TRUE(control<forms::Image>(*window, "ImgRead", 1)->isVisible());
    EXPECT_EQ(control<forms::Image>(*window, "ImgRead", 1)->pos(), marker);
    EXPECT_FALSE(control<forms::Image>(*window, "ImgRead", 0)->isVisible());
    // Without a bookmark such a click sets none.
    window->removeBookmark();
    rightClick(0, 5);
    EXPECT_EQ(window->settings().BookmarkSet, 0);
    EXPECT_FALSE(control<forms::Image>(*window, "ImgRead", 0)->isVisible());
}

TEST_F(Bookmarks, BelongsToItsArchiveEntry) {
    start();
    const QString archive = folder.file(QStringLiteral("책.zip"));
    ASSERT_TRUE(writeZip(archive, {{QStringLiteral("가.txt"), numberedBook(3000)},
                                   {QStringLiteral("나.txt"), numberedBook(3000)},
                                   {QStringLiteral("다.txt"), numberedBook(3000)}}));
    open(archive);
    ASSERT_TRUE(window->switchEntry(2, true));
    window->pageBar().setValue(3);
    ASSERT_EQ(window->book().shown, 2);
    rightClick(1, rowY(0));
    EXPECT_EQ(window->settings().BookmarkEntry, 3);

    ASSERT_TRUE(window->switchEntry(0, true));
    window->pageBar().setValue(3);
    EXPECT_FALSE(control<forms::Image>(*window, "ImgRead", 1)->isVisible());
    release(control<forms::Image>(*window, "CmdFirst"));
    release(control<forms::Image>(*window, "Cmdleaves"));
    EXPECT_EQ(window->pages().current, 1);  // not this entry's bookmark

    ASSERT_TRUE(window->switchEntry(2, true));
    EXPECT_EQ(window->settings().BookmarkSet, -1);
    release(control<forms::Image>(*window, "Cmdleaves"));
    EXPECT_EQ(window->pages().current, 3);
    EXPECT_TRUE(control<forms::Image>(*window, "ImgRead", 1)->isVisible());
}

TEST_F(Bookmarks, TheMenuItemAndF9JumpLikeTheButton) {
    openBook(7);
    rightClick(0, rowY(4));
    release(control<forms::Image>(*window, "CmdFirst"));
    ASSERT_TRUE(control<QAction>(*window, "mnu_bookmark"));
    EXPECT_EQ(control<QAction>(*window, "mnu_bookmark")->text(), QStringLiteral("책갈피(&F9)"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F9);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->pages().current == 7; }, 2000));
    EXPECT_TRUE(control<forms::Image>(*window, "ImgRead", 0)->isVisible());
}

class Appearance : public Bookmarks {};

TEST_F(Appearance, TheSameSizeOrSpacingAgainDoesNothing) {
    openBook(5);
    CountWatch watch(control<forms::PictureBox>(*window, "PicSplash"));
    const int pages = window->pages().count;
    emit control<QComboBox>(*window, "Cb_FontSize")
        ->activated(control<QComboBox>(*window, "Cb_FontSize")->currentIndex());
    emit control<QComboBox>(*window, "Combo1", 1)
        ->activated(control<QComboBox>(*window, "Combo1", 1)->currentIndex());
    EXPECT_EQ(watch.counts, 0);
    EXPECT_EQ(window->pages().count, pages);
    // Another spacing re-lays out, keeps the place by ratio and is stored.
    control<QComboBox>(*window, "Combo1", 1)->setCurrentIndex(0);
    emit control<QComboBox>(*window, "Combo1", 1)->activated(0);
    EXPECT_EQ(watch.counts, 1);
    EXPECT_EQ(window->settings().LineSpacing, 1);
    EXPECT_GT(window->pages().count, 0);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(Appearance, BoldFollowsItsPictureAndRecounts) {
    openBook(5);
    CountWatch watch(control<forms::PictureBox>(*window, "PicSplash"));
    // Only the left button switches it.
    for (const Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton})
        QTest::mouseClick(control<forms::Image>(*window, "cmdBold"), b, {}, QPoint(5, 5));
    EXPECT_EQ(window->settings().FontBold, 0);
    EXPECT_EQ(watch.counts, 0);
    QTest::mouseClick(control<forms::Image>(*window, "cmdBold"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->settings().FontBold, -1);
    EXPECT_EQ(control<forms::Image>(*window, "cmdBold")->picture(),
              window->skinPicture("b_bold_down.bmp"));
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicRead", 0)->font().bold());
    EXPECT_EQ(watch.counts, 1);
    QTest::mouseClick(control<forms::Image>(*window, "cmdBold"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->settings().FontBold, 0);
    EXPECT_EQ(control<forms::Image>(*window, "cmdBold")->picture(),
              window->skinPicture("b_bold.bmp"));
}

TEST_F(Appearance, APaletteColourOnlyRedrawsAndTheDialogRecounts) {
    openBook(9);
    ASSERT_EQ(
        window->findChildren<forms::Label*>(QRegularExpression(QStringLiteral("^lblcolor_\\d+$")))
            .size(),
        28);
    CountWatch watch(control<forms::PictureBox>(*window, "PicSplash"));
    const int pages = window->pages().count;

    QTest::mouseClick(control<forms::Image>(*window, "cmdbgcolor"), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicColor")->isVisible());
    EXPECT_EQ(control<forms::Image>(*window, "cmdbgcolor")->picture(),
              window->skinPicture("b_bgcolor.bmp"));
    QTest::mousePress(control<forms::Label>(*window, "lblcolor", 18), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicColor")->isVisible());
    EXPECT_EQ(window->settings().PageColor, int32_t(palette::kColours[18]));
    EXPECT_EQ(control<forms::Shape>(*window, "Shape2")->backColor(), palette::kColours[18]);
    EXPECT_EQ(control<forms::PictureBox>(*window, "PicRead", 0)->image().pixelColor(5, 200),
              gdi::toQColor(palette::kColours[18]));
    EXPECT_EQ(watch.counts, 0);
    EXPECT_EQ(window->pages().count, pages);
    EXPECT_EQ(window->pages().current, 9);

    // The text colour: the button stays pressed while the palette is open.
    QTest::mouseClick(control<forms::Image>(*window, "CmdFontColor"), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_EQ(control<forms::Image>(*window, "CmdFontColor")->picture(),
              window->skinPicture("b_fontcolor_down.bmp"));
    QTest::mouseClick(control<QPushButton>(*window, "cmdbasic"), Qt::LeftButton);
    EXPECT_EQ(window->settings().TextColor, 0);
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicColor")->isVisible());
    dialogs.answerColor(std::nullopt);  // cancel: nothing changes
    QTest::mouseClick(control<QPushButton>(*window, "cmdanother"), Qt::LeftButton);
    EXPECT_EQ(window->settings().TextColor, 0);
    EXPECT_EQ(watch.counts, 0);
    dialogs.answerColor(gdi::RGB(10, 20, 30));
    QTest::mouseClick(control<QPushButton>(*window, "cmdanother"), Qt::LeftButton);
    EXPECT_EQ(window->settings().TextColor, int32_t(gdi::RGB(10, 20, 30)));
    EXPECT_EQ(control<forms::Shape>(*window, "Shape1")->backColor(), gdi::RGB(10, 20, 30));
    EXPECT_EQ(watch.counts, 1);  // the dialog's colour recounts
    EXPECT_EQ(window->pages().current, 9);
    EXPECT_EQ(control<forms::Image>(*window, "CmdFontColor")->picture(),
              window->skinPicture("b_fontcolor.bmp"));
    QTest::mouseClick(control<QPushButton>(*window, "cmdcolorcancel"), Qt::LeftButton);
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicColor")->isVisible());
}

TEST_F(Appearance, ThePaletteStaysInsideANarrowScrolledWindow) {
    start(QSize(520, 450));
    ASSERT_TRUE(control<QScrollBar>(*window, "HScroll1")->isVisible());
    for (int value : {0, control<QScrollBar>(*window, "HScroll1")->maximum()}) {
        control<QScrollBar>(*window, "HScroll1")->setValue(value);
        window->CmdFontColor_Click();
        const QRect panel = control<forms::PictureBox>(*window, "PicColor")->geometry();
        EXPECT_TRUE(window->rect().contains(panel)) << value;
        EXPECT_EQ(panel.top(), control<forms::Shape>(*window, "Shape1")->y() +
                                   control<forms::Shape>(*window, "Shape1")->height() + 5);
        window->cmdcolorcancel_Click();
    }
}

TEST_F(Appearance, TheFontBoxTakesInstalledNamesOnly) {
    start();
    const QStringList fonts = QFontDatabase::families();
    ASSERT_FALSE(fonts.isEmpty());
    const QString face = fonts.contains("NanumGothic") ? QStringLiteral("NanumGothic") : fonts[0];
    const int items = control<QComboBox>(*window, "Cb_Font")->count();
    auto type = [&](const QString& text) {
        control<QComboBox>(*window, "Cb_Font")->lineEdit()->setText(text);
        QTest::keyClick(control<QComboBox>(*window, "Cb_Font")->lineEdit(), Qt::Key_Return);
    };
    type(face);
    EXPECT_EQ(window->settings().cleanFontName(), face);
    EXPECT_EQ(control<forms::PictureBox>(*window, "PicRead", 0)->font().family(), face);
    // Another letter case is another name: refused, the stored name shown again.
    type(face.toLower() == face ? face.toUpper() : face.toLower());
    EXPECT_EQ(window->settings().cleanFontName(), face);
    EXPECT_EQ(control<QComboBox>(*window, "Cb_Font")->currentText(), face);
    EXPECT_EQ(control<QComboBox>(*window, "Cb_Font")->count(), items);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(Appearance, SettingsSurviveARestartByteByByte) {
    openBook(5);
    const QStringList fonts = QFontDatabase::families();
    const QString face = fonts.contains("NanumGothic") ? QStringLiteral("NanumGothic") : fonts[0];
    control<QComboBox>(*window, "Cb_Font")
        ->setCurrentIndex(control<QComboBox>(*window, "Cb_Font")->findText(face));
    window->Cb_Font_Click();
    control<QComboBox>(*window, "Cb_FontSize")->setCurrentIndex(5);  // "14"
    window->Cb_FontSize_Click();
    window->cmdBold_Click();
    control<QComboBox>(*window, "Combo1", 1)->setCurrentIndex(2);  // "3"
    window->Combo1_Click(1);
    window->CmdFontColor_Click();
    window->lblcolor_Click(13);
    window->cmdbgcolor_Click();
    window->lblcolor_Click(18);
    window->pageBar().setValue(5);
    rightClick(1, rowY(2));
    const int32_t position = window->settings().BookmarkPosition;
    ASSERT_GT(position, 0);
    window->close();
    window.reset();

    const QByteArray info = statefiles::readFile(folder.file("txtlumoinfo.txt")).value_or("");
    ASSERT_EQ(info.size(), 86);
    auto i16 = [&](int at) { return qFromLittleEndian<qint16>(info.constData() + at); };
    auto i32 = [&](int at) { return qFromLittleEndian<qint32>(info.constData() + at); };
    EXPECT_EQ(info.left(50), face.toUtf8().leftJustified(50, ' '));
    EXPECT_EQ(i16(50), 14);
    EXPECT_EQ(i32(52), int32_t(palette::kColours[13]));
    EXPECT_EQ(i32(56), int32_t(palette::kColours[18]));
    EXPECT_EQ(i16(60), -1);
    EXPECT_EQ(i16(62), 1);
    EXPECT_EQ(i16(64), 3);
    EXPECT_EQ(i16(66), -1);
    EXPECT_EQ(i32(68), position);
    EXPECT_EQ(i32(76), 0);
    EXPECT_EQ(i16(80), 0);
    EXPECT_EQ(i16(82), 2);
    EXPECT_EQ(i16(84), 5);

    dialogs.answerMsgBox(dlg::vbYes);
    start();
    EXPECT_EQ(control<QComboBox>(*window, "Cb_Font")->currentText(), face);
    EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->currentText(), "14");
    EXPECT_EQ(control<QComboBox>(*window, "Combo1", 1)->currentText(), "3");
    EXPECT_EQ(control<forms::Image>(*window, "cmdBold")->picture(),
              window->skinPicture("b_bold_down.bmp"));
    EXPECT_EQ(control<forms::Shape>(*window, "Shape1")->backColor(), palette::kColours[13]);
    EXPECT_EQ(control<forms::Shape>(*window, "Shape2")->backColor(), palette::kColours[18]);
    EXPECT_EQ(window->pages().current, 5);
    EXPECT_TRUE(control<forms::Image>(*window, "ImgRead", 1)->isVisible());
    release(control<forms::Image>(*window, "CmdFirst"));
    release(control<forms::Image>(*window, "Cmdleaves"));
    EXPECT_EQ(window->pages().current, 5);
    window->close();
    window.reset();
    // Written back unchanged.
    EXPECT_EQ(statefiles::readFile(folder.file("txtlumoinfo.txt")).value_or(""), info);
}

}  // namespace

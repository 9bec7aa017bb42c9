// The bookmark and the tool bar's appearance controls in the real window: set, follow and
// remove the bookmark, its entry, the font box, sizes, bold, colours and their palette, and
// the settings saved and restored byte by byte.

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QtEndian>

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
        ASSERT_GT(window->PageCount, page + 1);
        window->ImageScrollBar1.setValue(page);
        ASSERT_EQ(window->CurrentPage, page);
    }
    // The y of line `row` (0-based) of a page, a little below its top.
    int rowY(int row) const { return 50 + row * window->LineHeight + 3; }
    void rightClick(int side, int y, Qt::MouseButton b = Qt::RightButton) {
        QTest::mousePress(window->PicRead[side], b, {}, QPoint(200, y));
        QTest::mouseRelease(window->PicRead[side], b, {}, QPoint(200, y));
    }
    // The text of the line beside the shown marker, read from the page it is on.
    QString markedLine() const {
        for (int side = 0; side < 2; ++side) {
            const forms::Image* marker = window->ImgRead[side];
            if (!marker->isVisible()) continue;
            const QStringList lines =
                window->PageText(window->CurrentPage + side).text.split(QStringLiteral("\r\n"));
            return lines.value((marker->y() - 50) / window->LineHeight);
        }
        return {};
    }
};

TEST_F(Bookmarks, SetSurvivesALargerFontAndIsFollowed) {
    openBook(5);
    rightClick(1, rowY(3));
    const int L = window->LinesPerPage;
    const QString line = QStringLiteral("줄 %1").arg(5 * L + 4);  // page 6, its fourth line
    ASSERT_EQ(window->ReadingSettings.BookmarkSet, -1);
    EXPECT_EQ(window->ReadingSettings.BookmarkEntry, 0);
    EXPECT_TRUE(window->ImgRead[1]->isVisible());
    EXPECT_FALSE(window->ImgRead[0]->isVisible());
    EXPECT_EQ(window->ImgRead[1]->pos(), QPoint(15, 50 + 3 * window->LineHeight));
    EXPECT_EQ(markedLine(), line);

    // A larger font moves the line to another page; the button still finds it.
    window->Cb_FontSize->setCurrentIndex(window->Cb_FontSize->findText("24"));
    window->Cb_FontSize_Click();
    ASSERT_LT(window->LinesPerPage, L);
    release(window->CmdFirst);
    ASSERT_EQ(window->CurrentPage, 1);
    release(window->Cmdleaves);
    EXPECT_GT(window->CurrentPage, 5);
    EXPECT_EQ(markedLine(), line);
    // A middle click sets it too.
    rightClick(0, rowY(0), Qt::MiddleButton);
    EXPECT_EQ(markedLine(),
              QStringLiteral("줄 %1").arg((window->CurrentPage - 1) * window->LinesPerPage + 1));
}

TEST_F(Bookmarks, RemovedByItsMarkerAndTheButtonSaysSo) {
    openBook(3);
    rightClick(0, rowY(1));
    QTest::mouseClick(window->ImgRead[0], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window->ImgRead[0]->isVisible());
    EXPECT_EQ(window->ReadingSettings.BookmarkSet, 0);
    EXPECT_EQ(window->ReadingSettings.BookmarkPosition, 0);
    release(window->Cmdleaves);
    const auto boxes = dialogs.shownOf("msgbox");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text,
              QStringLiteral(" 책갈피가 없습니다.\n♣ 책갈피 설정 -> 마우스오른쪽 클릭 ♣"));
    EXPECT_EQ(boxes[0].title, QStringLiteral("루모북"));
    EXPECT_EQ(boxes[0].style & 0x70, dlg::vbInformation);
    EXPECT_EQ(window->CurrentPage, 3);
    // The right button on the bookmark button does nothing at all.
    release(window->Cmdleaves, Qt::RightButton);
    EXPECT_EQ(dialogs.shownOf("msgbox").size(), 1);
}

// The spread drawn again shows the one marker where the click put it: the right page's first
// line is not also marked on the empty row below a left page that ends with a line break, and
// that row sets nothing.
TEST_F(Bookmarks, TheMarkerIsDrawnOnTheRowTheClickSetItOn) {
    openBook(3);
    const int L = window->LinesPerPage;
    const struct {
        int side, row;
        bool sets;
    } cases[] = {{1, 0, true}, {0, 0, true}, {0, L - 1, true}, {1, L - 1, true}, {0, L, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "side " << c.side << " row " << c.row);
        window->removeBookmark();
        rightClick(c.side, rowY(c.row));
        ASSERT_EQ(window->ReadingSettings.BookmarkSet, c.sets ? -1 : 0);
        if (!c.sets) continue;
        const QPoint at = window->ImgRead[c.side]->pos();
        window->ShowSpread(window->CurrentPage, 0);
        EXPECT_TRUE(window->ImgRead[c.side]->isVisible());
        EXPECT_EQ(window->ImgRead[c.side]->pos(), at);
        EXPECT_FALSE(window->ImgRead[1 - c.side]->isVisible());
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
        const auto set = window->ReadingSettings;
        const QPoint at = window->ImgRead[0]->pos();
        QTest::mouseClick(window->ImgRead[0], b, {}, QPoint(5, 5));
        const bool removes = b == Qt::LeftButton;
        EXPECT_EQ(window->ReadingSettings.BookmarkSet, removes ? 0 : -1);
        EXPECT_EQ(window->ReadingSettings.BookmarkPosition, removes ? 0 : set.BookmarkPosition);
        EXPECT_EQ(window->ImgRead[0]->isVisible(), !removes);
        EXPECT_EQ(window->ImgRead[0]->pos(), at);
        EXPECT_FALSE(window->ImgRead[1]->isVisible());
    }
}

TEST_F(Bookmarks, AClickBesideEveryLineLeavesTheBookmarkAsItWas) {
    openBook(3);
    rightClick(1, rowY(2));
    const auto before = window->ReadingSettings;
    const QPoint marker = window->ImgRead[1]->pos();
    for (int y : {5, 30, 45}) rightClick(0, y);  // the top margin holds no line
    rightClick(1, window->PicRead[1]->height() - 5);
    EXPECT_EQ(window->ReadingSettings.BookmarkPosition, before.BookmarkPosition);
    EXPECT_EQ(window->ReadingSettings.BookmarkSet, -1);
    EXPECT_TRUE(window->ImgRead[1]->isVisible());
    EXPECT_EQ(window->ImgRead[1]->pos(), marker);
    EXPECT_FALSE(window->ImgRead[0]->isVisible());
    // Without a bookmark such a click sets none.
    window->removeBookmark();
    rightClick(0, 5);
    EXPECT_EQ(window->ReadingSettings.BookmarkSet, 0);
    EXPECT_FALSE(window->ImgRead[0]->isVisible());
}

TEST_F(Bookmarks, BelongsToItsArchiveEntry) {
    openBook(3);
    // A list of several entries stands in for an archive's.
    window->List1->addItems({"가.txt", "나.txt", "다.txt"});
    window->List1->setCurrentRow(2);
    window->ShownEntry = 2;
    rightClick(1, rowY(0));
    EXPECT_EQ(window->ReadingSettings.BookmarkEntry, 3);

    window->List1->setCurrentRow(0);
    window->ShownEntry = 0;
    window->ShowDocument();
    window->ImageScrollBar1.setValue(3);
    EXPECT_FALSE(window->ImgRead[1]->isVisible());
    release(window->CmdFirst);
    release(window->Cmdleaves);
    EXPECT_EQ(window->CurrentPage, 1);  // not this entry's bookmark

    window->List1->setCurrentRow(2);
    window->ShownEntry = 2;
    window->ShowDocument();
    EXPECT_EQ(window->ReadingSettings.BookmarkSet, -1);
    release(window->Cmdleaves);
    EXPECT_EQ(window->CurrentPage, 3);
    EXPECT_TRUE(window->ImgRead[1]->isVisible());
}

TEST_F(Bookmarks, TheMenuItemAndF9JumpLikeTheButton) {
    openBook(7);
    rightClick(0, rowY(4));
    release(window->CmdFirst);
    ASSERT_TRUE(window->mnu_bookmark);
    EXPECT_EQ(window->mnu_bookmark->text(), QStringLiteral("책갈피(&F9)"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F9);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->CurrentPage == 7; }, 2000));
    EXPECT_TRUE(window->ImgRead[0]->isVisible());
}

class Appearance : public Bookmarks {};

TEST_F(Appearance, TheSameSizeOrSpacingAgainDoesNothing) {
    openBook(5);
    CountWatch watch(window->PicSplash);
    const int pages = window->PageCount;
    emit window->Cb_FontSize->activated(window->Cb_FontSize->currentIndex());
    emit window->Combo1[1]->activated(window->Combo1[1]->currentIndex());
    EXPECT_EQ(watch.counts, 0);
    EXPECT_EQ(window->PageCount, pages);
    // Another spacing re-lays out, keeps the place by ratio and is stored.
    window->Combo1[1]->setCurrentIndex(0);
    emit window->Combo1[1]->activated(0);
    EXPECT_EQ(watch.counts, 1);
    EXPECT_EQ(window->ReadingSettings.LineSpacing, 1);
    EXPECT_GT(window->PageCount, 0);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(Appearance, BoldFollowsItsPictureAndRecounts) {
    openBook(5);
    CountWatch watch(window->PicSplash);
    // Only the left button switches it.
    for (const Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton})
        QTest::mouseClick(window->cmdBold, b, {}, QPoint(5, 5));
    EXPECT_EQ(window->ReadingSettings.FontBold, 0);
    EXPECT_EQ(watch.counts, 0);
    QTest::mouseClick(window->cmdBold, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->ReadingSettings.FontBold, -1);
    EXPECT_EQ(window->cmdBold->picture(), window->skinPicture("b_bold_down.bmp"));
    EXPECT_TRUE(window->PicRead[0]->font().bold());
    EXPECT_EQ(watch.counts, 1);
    QTest::mouseClick(window->cmdBold, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->ReadingSettings.FontBold, 0);
    EXPECT_EQ(window->cmdBold->picture(), window->skinPicture("b_bold.bmp"));
}

TEST_F(Appearance, APaletteColourOnlyRedrawsAndTheDialogRecounts) {
    openBook(9);
    ASSERT_EQ(window->lblcolor.size(), 28u);
    CountWatch watch(window->PicSplash);
    const int pages = window->PageCount;

    QTest::mouseClick(window->cmdbgcolor, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window->PicColor->isVisible());
    EXPECT_EQ(window->cmdbgcolor->picture(), window->skinPicture("b_bgcolor.bmp"));
    QTest::mousePress(window->lblcolor[18], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window->PicColor->isVisible());
    EXPECT_EQ(window->ReadingSettings.PageColor, int32_t(palette::kColours[18]));
    EXPECT_EQ(window->Shape2->backColor(), palette::kColours[18]);
    EXPECT_EQ(window->PicRead[0]->image().pixelColor(5, 200), gdi::toQColor(palette::kColours[18]));
    EXPECT_EQ(watch.counts, 0);
    EXPECT_EQ(window->PageCount, pages);
    EXPECT_EQ(window->CurrentPage, 9);

    // The text colour: the button stays pressed while the palette is open.
    QTest::mouseClick(window->CmdFontColor, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->CmdFontColor->picture(), window->skinPicture("b_fontcolor_down.bmp"));
    QTest::mouseClick(window->cmdbasic, Qt::LeftButton);
    EXPECT_EQ(window->ReadingSettings.TextColor, 0);
    EXPECT_TRUE(window->PicColor->isVisible());
    dialogs.answerColor(std::nullopt);  // cancel: nothing changes
    QTest::mouseClick(window->cmdanother, Qt::LeftButton);
    EXPECT_EQ(window->ReadingSettings.TextColor, 0);
    EXPECT_EQ(watch.counts, 0);
    dialogs.answerColor(gdi::RGB(10, 20, 30));
    QTest::mouseClick(window->cmdanother, Qt::LeftButton);
    EXPECT_EQ(window->ReadingSettings.TextColor, int32_t(gdi::RGB(10, 20, 30)));
    EXPECT_EQ(window->Shape1->backColor(), gdi::RGB(10, 20, 30));
    EXPECT_EQ(watch.counts, 1);  // the dialog's colour recounts
    EXPECT_EQ(window->CurrentPage, 9);
    EXPECT_EQ(window->CmdFontColor->picture(), window->skinPicture("b_fontcolor.bmp"));
    QTest::mouseClick(window->cmdcolorcancel, Qt::LeftButton);
    EXPECT_FALSE(window->PicColor->isVisible());
}

TEST_F(Appearance, ThePaletteStaysInsideANarrowScrolledWindow) {
    start(QSize(520, 450));
    ASSERT_TRUE(window->HScroll1->isVisible());
    for (int value : {0, window->HScroll1->maximum()}) {
        window->HScroll1->setValue(value);
        window->CmdFontColor_Click();
        const QRect panel = window->PicColor->geometry();
        EXPECT_TRUE(window->rect().contains(panel)) << value;
        EXPECT_EQ(panel.top(), window->Shape1->y() + window->Shape1->height() + 5);
        window->cmdcolorcancel_Click();
    }
}

TEST_F(Appearance, TheFontBoxTakesInstalledNamesOnly) {
    start();
    const QStringList fonts = QFontDatabase::families();
    ASSERT_FALSE(fonts.isEmpty());
    const QString face = fonts.contains("NanumGothic") ? QStringLiteral("NanumGothic") : fonts[0];
    const int items = window->Cb_Font->count();
    auto type = [&](const QString& text) {
        window->Cb_Font->lineEdit()->setText(text);
        QTest::keyClick(window->Cb_Font->lineEdit(), Qt::Key_Return);
    };
    type(face);
    EXPECT_EQ(window->ReadingSettings.cleanFontName(), face);
    EXPECT_EQ(window->PicRead[0]->font().family(), face);
    // Another letter case is another name: refused, the stored name shown again.
    type(face.toLower() == face ? face.toUpper() : face.toLower());
    EXPECT_EQ(window->ReadingSettings.cleanFontName(), face);
    EXPECT_EQ(window->Cb_Font->currentText(), face);
    EXPECT_EQ(window->Cb_Font->count(), items);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(Appearance, SettingsSurviveARestartByteByByte) {
    openBook(5);
    const QStringList fonts = QFontDatabase::families();
    const QString face = fonts.contains("NanumGothic") ? QStringLiteral("NanumGothic") : fonts[0];
    window->Cb_Font->setCurrentIndex(window->Cb_Font->findText(face));
    window->Cb_Font_Click();
    window->Cb_FontSize->setCurrentIndex(5);  // "14"
    window->Cb_FontSize_Click();
    window->cmdBold_Click();
    window->Combo1[1]->setCurrentIndex(2);  // "3"
    window->Combo1_Click(1);
    window->CmdFontColor_Click();
    window->lblcolor_Click(13);
    window->cmdbgcolor_Click();
    window->lblcolor_Click(18);
    window->ImageScrollBar1.setValue(5);
    rightClick(1, rowY(2));
    const int32_t position = window->ReadingSettings.BookmarkPosition;
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
    EXPECT_EQ(window->Cb_Font->currentText(), face);
    EXPECT_EQ(window->Cb_FontSize->currentText(), "14");
    EXPECT_EQ(window->Combo1[1]->currentText(), "3");
    EXPECT_EQ(window->cmdBold->picture(), window->skinPicture("b_bold_down.bmp"));
    EXPECT_EQ(window->Shape1->backColor(), palette::kColours[13]);
    EXPECT_EQ(window->Shape2->backColor(), palette::kColours[18]);
    EXPECT_EQ(window->CurrentPage, 5);
    EXPECT_TRUE(window->ImgRead[1]->isVisible());
    release(window->CmdFirst);
    release(window->Cmdleaves);
    EXPECT_EQ(window->CurrentPage, 5);
    window->close();
    window.reset();
    // Written back unchanged.
    EXPECT_EQ(statefiles::readFile(folder.file("txtlumoinfo.txt")).value_or(""), info);
}

}  // namespace

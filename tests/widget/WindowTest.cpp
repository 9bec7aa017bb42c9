// The main window driven as a user would: sizes, tool bar, buttons, keys, start-up.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "../common/Controls.h"
#include "AppFolder.h"
#include "dialogs/ScriptedDialogs.h"
#include "forms/Image.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "window/Frm_TxtViewer.h"
#include "window/WindowFile.h"

namespace {

QColor pixel(const QImage& img, int x, int y) {
    return img.pixelColor(x, y);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<Frm_TxtViewer>(folder.path(), dialogs);
        window->LoadSkinPictures();
    }
    void showAt(int w, int h) {
        window->resize(w, h);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
    }
    QImage skin(const char* name) { return window->skinPicture(QString::fromLatin1(name)); }

    AppFolder folder;
    dlg::ScriptedDialogs dialogs;
    std::unique_ptr<Frm_TxtViewer> window;
};

TEST_F(WindowTest, CannotBeMadeSmallerThanTheMinimum) {
    showAt(800, 600);
    window->resize(200, 150);
    QCoreApplication::processEvents();
    EXPECT_GE(window->frameGeometry().width(), 458);
    EXPECT_GE(window->frameGeometry().height(), 402);
    EXPECT_GE(window->widthTwips(), 6870);
    EXPECT_GE(window->heightTwips(), 6030);
}

TEST_F(WindowTest, NarrowWindowScrollsTheToolBar) {
    showAt(800, 600);
    ASSERT_TRUE(control<QScrollBar>(*window, "HScroll1")->isVisible());
    EXPECT_EQ(control<QScrollBar>(*window, "HScroll1")->geometry(), QRect(768, 0, 32, 42));
    EXPECT_EQ(control<QScrollBar>(*window, "HScroll1")->maximum(), 1024 - 800 + 32);
    EXPECT_EQ(control<QScrollBar>(*window, "HScroll1")->singleStep(), 50);
    control<QScrollBar>(*window, "HScroll1")
        ->setValue(control<QScrollBar>(*window, "HScroll1")->maximum());
    // At the end the tool bar's right edge meets the scroll bar's left edge.
    EXPECT_EQ(control<forms::PictureBox>(*window, "Pic_Top")->x() + 1024,
              control<QScrollBar>(*window, "HScroll1")->x());

    window->resize(1100, 600);
    QCoreApplication::processEvents();
    EXPECT_FALSE(control<QScrollBar>(*window, "HScroll1")->isVisible());
    EXPECT_EQ(control<QScrollBar>(*window, "HScroll1")->value(), 0);
    EXPECT_EQ(control<forms::PictureBox>(*window, "Pic_Top")->x(), 0);
}

TEST_F(WindowTest, WideWindowStretchesTheToolBarBackground) {
    showAt(1300, 700);
    const QImage bar = control<forms::PictureBox>(*window, "PicTopOut")->screenImage();
    const QImage back = skin("bg_Topback.bmp");
    ASSERT_FALSE(back.isNull());
    for (int y : {2, 20, 40}) {
        const QColor want = pixel(back, back.width() / 2, y);
        for (int x : {1030, 1150, 1299}) {
            const QColor got = pixel(bar, x, y);
            EXPECT_NEAR(got.red(), want.red(), 12) << x << "," << y;
            EXPECT_NEAR(got.blue(), want.blue(), 12) << x << "," << y;
        }
    }
}

TEST_F(WindowTest, BookFrameAndGutterAreDrawn) {
    showAt(1000, 700);
    const int pw = control<forms::PictureBox>(*window, "PicRead", 0)->width();
    EXPECT_EQ(pw, 480);  // (1000 - 41) / 2 = 479.5 -> 480
    EXPECT_EQ(pixel(control<forms::PictureBox>(*window, "PicReadIn")->screenImage(), pw, 10),
              QColor(162, 165, 165));
    const QImage area = control<forms::PictureBox>(*window, "Pic_TxtOut")->screenImage();
    const QImage strip = skin("bg_vertical.bmp");
    EXPECT_EQ(pixel(area, 5, 120), pixel(strip, 5, (120 - 20) % strip.height()));
    const QImage spine = skin("bg_centerright.bmp");
    EXPECT_EQ(pixel(area, pw + 20 + 3, 5), pixel(spine, 3, 5 - (20 - spine.height())));
}

TEST_F(WindowTest, EveryPieceIsCopiedWhole) {
    // The stretched tool bar background goes through the same loader as the frame pieces.
    showAt(1300, 700);
    const QImage area = control<forms::PictureBox>(*window, "Pic_TxtOut")->screenImage();
    const QImage left = skin("bg_vertical.bmp");
    const QImage top = skin("bg_htop.bmp");
    const QImage corner = skin("bg_btnsideright.bmp");
    for (int x = 0; x < left.width(); ++x)
        EXPECT_EQ(pixel(area, x, 100), pixel(left, x, (100 - 20) % left.height())) << x;
    for (int x = 20; x < 20 + 3 * top.width(); ++x)
        EXPECT_EQ(pixel(area, x, 10), pixel(top, (x - 20) % top.width(), 10 - (20 - top.height())))
            << x;
    const int ph = control<forms::PictureBox>(*window, "PicRead", 0)->height();
    const int cornerTop = ph + 42 - corner.height();
    EXPECT_EQ(pixel(area, 1300 - 1, cornerTop + 5), pixel(corner, corner.width() - 1, 5));
}

TEST_F(WindowTest, PageEdgeLinesFollowThePageNumbers) {
    // A book open in its middle: pages read on the left, pages to come on the right.
    window->formLoad();
    window->setWindowState(Qt::WindowNoState);
    showAt(1000, 700);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return control<forms::Timer>(*window, "TmrPlay")->tag() == "play"; }, 3000));
    QFile book(folder.file(QStringLiteral("책.txt")));
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
    for (int i = 1; i <= 5000; ++i) book.write("줄 " + QByteArray::number(i) + "\r\n");
    book.close();
    ASSERT_TRUE(window->OpenDocument(book.fileName(), -1));
    ASSERT_GE(window->pages().count, 100);
    window->pageBar().setValue(window->pages().count / 2 | 1);
    window->PaintBookFrame();
    const QImage area = control<forms::PictureBox>(*window, "Pic_TxtOut")->screenImage();
    const QColor edge(255, 255, 216);
    const int right = 20 + 2 * control<forms::PictureBox>(*window, "PicRead", 0)->width() + 1;
    EXPECT_EQ(pixel(area, 19, 300), edge);
    EXPECT_EQ(pixel(area, right + 1, 300), edge);
    EXPECT_NE(pixel(area, 18, 300), edge);
    // Each line is shorter at both ends than the one inside it.
    EXPECT_EQ(pixel(area, 19, 26), edge);
    EXPECT_NE(pixel(area, 17, 27), edge);
}

TEST_F(WindowTest, PageButtonsSwapPicturesOnAnyMouseButton) {
    showAt(1100, 700);
    forms::Image* next = control<forms::Image>(*window, "CmdNext");
    next->setEnabled(true);
    next->setPicture(skin("b_play.bmp"));
    QTest::mousePress(next, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(next->picture(), skin("b_play_down.bmp"));
    QTest::mouseRelease(next, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(next->picture(), skin("b_play.bmp"));

    // Disabled, it takes no presses and keeps its grey picture.
    forms::Image* last = control<forms::Image>(*window, "CmdLast");
    QTest::mousePress(last, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(last->picture(), skin("b_back_grey.bmp"));
}

TEST_F(WindowTest, BookmarkAndHelpReactToTheLeftButtonOnly) {
    showAt(1100, 700);
    forms::Image* mark = control<forms::Image>(*window, "Cmdleaves");
    mark->setEnabled(true);
    mark->setPicture(skin("b_bookmark.bmp"));
    QTest::mousePress(mark, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(mark->picture(), skin("b_bookmark.bmp"));
    QTest::mousePress(mark, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(mark->picture(), skin("b_bookmark_down.bmp"));
    QTest::mouseRelease(mark, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(mark->picture(), skin("b_bookmark.bmp"));

    forms::Image* help = control<forms::Image>(*window, "imgHelp");
    QTest::mousePress(help, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(help, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(dialogs.shownOf("browser").isEmpty());
    QTest::mousePress(help, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(help->picture(), skin("b_helpdesk_down.bmp"));
    QTest::mouseRelease(help, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(help->picture(), skin("b_helpdesk.bmp"));
    ASSERT_EQ(dialogs.shownOf("browser").size(), 1);
    EXPECT_EQ(dialogs.shownOf("browser")[0].text, QStringLiteral(READER_SITE_URL));
    EXPECT_TRUE(dialogs.shownOf("msgbox").isEmpty());
}

TEST_F(WindowTest, HelpSaysSoWhenNoBrowserStarts) {
    showAt(1100, 700);
    dialogs.setBrowserWorks(false);
    QTest::mousePress(control<forms::Image>(*window, "imgHelp"), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(control<forms::Image>(*window, "imgHelp"), Qt::LeftButton, {},
                        QPoint(5, 5));
    const auto boxes = dialogs.shownOf("msgbox");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral(READER_SITE_URL)));
}

TEST_F(WindowTest, OpenShowsItsPressedPictureOnlyWhilePressed) {
    showAt(1100, 700);
    QTest::mousePress(control<forms::Image>(*window, "CmdOpen"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(control<forms::Image>(*window, "CmdOpen")->picture(), skin("b_open.bmp"));
    QTest::mouseRelease(control<forms::Image>(*window, "CmdOpen"), Qt::LeftButton, {},
                        QPoint(5, 5));
    EXPECT_EQ(control<forms::Image>(*window, "CmdOpen")->picture(), skin("b_open.bmp"));
}

TEST_F(WindowTest, EscapeMinimisesFromAnyControl) {
    showAt(1100, 700);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(control<QComboBox>(*window, "Cb_FontSize"), Qt::Key_Escape);
    EXPECT_TRUE(window->windowState() & Qt::WindowMinimized);
}

TEST_F(WindowTest, FocusFollowsTheMouseAcrossThePages) {
    showAt(1100, 700);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseMove(control<forms::PictureBox>(*window, "PicRead", 1), QPoint(50, 50));
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicRead", 1)->hasFocus());
    QTest::mouseMove(control<forms::PictureBox>(*window, "PicRead", 0), QPoint(60, 60));
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicRead", 0)->hasFocus());
}

TEST_F(WindowTest, FirstStartIsMaximisedWithFontsAndSplash) {
    window->formLoad();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(QDir(folder.file("TmpZip")).exists());
    EXPECT_GT(control<QComboBox>(*window, "Cb_Font")->count(), 0);
    for (int i = 0; i < control<QComboBox>(*window, "Cb_Font")->count(); ++i)
        EXPECT_FALSE(control<QComboBox>(*window, "Cb_Font")->itemText(i).contains('@'));
    EXPECT_TRUE(control<forms::PictureBox>(*window, "PicSplash")->isVisible());
    EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->count(), 16);
    EXPECT_EQ(control<QComboBox>(*window, "Cb_FontSize")->itemText(4), "12");
    EXPECT_EQ(control<QComboBox>(*window, "Combo1", 1)->count(), 20);
    EXPECT_EQ(control<QCheckBox>(*window, "chkline")->text(), QStringLiteral("책장효과 "));
    // The deferred start-up hides the splash and marks start-up as finished.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return control<forms::Timer>(*window, "TmrPlay")->tag() == "play"; }, 2000));
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicSplash")->isVisible());
}

TEST_F(WindowTest, SavedPlacementIsRestored) {
    windowfile::Record r;
    r.placement = {1500, 1200, 12000, 9000};  // 800 x 600 pixels at (100, 80)
    QFile f(folder.file(windowfile::fileName()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(windowfile::encode(r));
    f.close();
    window->formLoad();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_FALSE(window->isMaximized());
    // The frame is added once the window is shown; the outer size then comes out exact.
    (void)QTest::qWaitFor([&] { return window->frameGeometry().size() == QSize(800, 600); }, 2000);
    EXPECT_EQ(window->frameGeometry().size(), QSize(800, 600));
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(100, 80));
    EXPECT_DOUBLE_EQ(window->widthTwips(), 12000);
}

TEST_F(WindowTest, DamagedPlacementsOpenMaximised) {
    const windowfile::Placement damaged[] = {
        {0, 0, -15000, 9000},          // a negative width
        {0, 0, 12000, 1000000000},     // a height of 10^9 twips
        {-90000, -90000, 9000, 9000},  // wholly off screen
        {0, 0, 3000, 3000},            // smaller than the minimum
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
    };
    for (const windowfile::Placement& p : damaged) {
        auto w = std::make_unique<Frm_TxtViewer>(folder.path(), dialogs);
        windowfile::Record r;
        r.placement = p;
        QFile f(folder.file(windowfile::fileName()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(windowfile::encode(r));
        f.close();
        w->formLoad();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        EXPECT_TRUE(w->isMaximized())
            << p.left << " " << p.top << " " << p.width << " " << p.height;
        EXPECT_LE(w->width(), 800);
        w->close();
    }
}

TEST_F(WindowTest, SizeAndSpacingListsTakeListChoicesOnly) {
    showAt(1100, 700);
    EXPECT_FALSE(control<QComboBox>(*window, "Cb_FontSize")->isEditable());
    EXPECT_FALSE(control<QComboBox>(*window, "Combo1", 0)->isEditable());
    EXPECT_FALSE(control<QComboBox>(*window, "Combo1", 1)->isEditable());
    // The font box takes typed names, but a name typed there never joins the list.
    ASSERT_TRUE(control<QComboBox>(*window, "Cb_Font")->isEditable());
    control<QComboBox>(*window, "Cb_Font")->addItem(QStringLiteral("NanumGothic"));
    const int fonts = control<QComboBox>(*window, "Cb_Font")->count();
    control<QComboBox>(*window, "Cb_Font")->setFocus();
    control<QComboBox>(*window, "Cb_Font")->lineEdit()->selectAll();
    QTest::keyClicks(control<QComboBox>(*window, "Cb_Font")->lineEdit(),
                     QStringLiteral("NoSuchFace13"));
    QTest::keyClick(control<QComboBox>(*window, "Cb_Font")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(control<QComboBox>(*window, "Cb_Font")->count(), fonts);
    EXPECT_EQ(control<QComboBox>(*window, "Cb_Font")->findText(QStringLiteral("NoSuchFace13")), -1);
}

}  // namespace

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "forms/WebBrowser.h"

TEST(Image, TakesThePictureSizeAndReportsButtons) {
    forms::Image img;
    img.setPicture(QImage(7, 5, QImage::Format_RGB32));
    EXPECT_EQ(img.size(), QSize(7, 5));
    img.setPicture(QImage());
    EXPECT_EQ(img.size(), QSize(7, 5));
    img.show();

    struct Case {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        int code, shift;
    };
    const Case cases[] = {{Qt::LeftButton, {}, 1, 0},
                          {Qt::RightButton, {}, 2, 0},
                          {Qt::MiddleButton, Qt::ShiftModifier, 4, 1},
                          {Qt::RightButton, Qt::ControlModifier, 2, 2}};
    for (const Case& c : cases) {
        QSignalSpy down(&img, &forms::Image::mouseDown), up(&img, &forms::Image::mouseUp);
        QSignalSpy clicked(&img, &forms::Image::clicked), left(&img, &forms::Image::leftClicked);
        QTest::mousePress(&img, c.button, c.modifiers, QPoint(3, 2));
        QTest::mouseRelease(&img, c.button, c.modifiers, QPoint(4, 1));
        ASSERT_EQ(down.count(), 1);
        ASSERT_EQ(up.count(), 1);
        EXPECT_EQ(down[0], (QVariantList{c.code, c.shift, 3, 2}));
        EXPECT_EQ(up[0], (QVariantList{c.code, c.shift, 4, 1}));
        EXPECT_EQ(clicked.count(), 1);
        EXPECT_EQ(left.count(), c.code == 1 ? 1 : 0);
    }

    QSignalSpy any(&img, &forms::Image::mouseDown);
    img.setEnabled(false);
    QTest::mousePress(&img, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseRelease(&img, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(any.count(), 0);
}

TEST(Label, AutoSizeFollowsCaptionAndFont) {
    forms::Label label;
    label.resize(3, 3);
    label.setCaption(QStringLiteral("가나다"));
    EXPECT_EQ(label.size(), QSize(3, 3));  // no AutoSize yet
    label.setAutoSize(true);
    const QFontMetrics fm(label.font());
    EXPECT_EQ(label.size(), QSize(fm.horizontalAdvance(QStringLiteral("가나다")), fm.height()));

    const QSize before = label.size();
    label.setCaption(QStringLiteral("가나다라마바사"));
    EXPECT_GT(label.width(), before.width());
    QFont big = label.font();
    big.setPixelSize(fm.height() * 2);
    label.setFont(big);
    EXPECT_GT(label.height(), before.height());
    EXPECT_EQ(label.size(), label.captionSize());
}

TEST(Shape, BorderOnTheEdgesAndFillInside) {
    forms::Shape shape;
    shape.resize(6, 4);
    shape.setBorderColor(gdi::RGB(255, 0, 0));
    shape.setBackColor(gdi::RGB(0, 0, 255));
    shape.setOpaque(true);
    const QImage img = shape.grab().toImage();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool edge = x == 0 || y == 0 || x == 5 || y == 3;
            EXPECT_EQ(img.pixel(x, y) & 0xFFFFFF, edge ? 0xFF0000u : 0x0000FFu) << x << "," << y;
        }
}

TEST(Timer, FiresOnceAndIsDisarmedInItsHandler) {
    forms::Timer timer;
    timer.setInterval(10);
    int fired = 0;
    bool enabledInHandler = true;
    QObject::connect(&timer, &forms::Timer::timeout, [&] {
        ++fired;
        enabledInHandler = timer.enabled();
    });
    timer.setEnabled(true);
    EXPECT_TRUE(timer.enabled());
    QTest::qWait(150);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(enabledInHandler);
    EXPECT_FALSE(timer.enabled());

    timer.setEnabled(true);
    timer.setEnabled(false);
    QTest::qWait(50);
    EXPECT_EQ(fired, 1);
}

TEST(WebBrowser, LoadsOnlyLocalFiles) {
    QTemporaryDir dir;
    const QString page = dir.filePath("배너.html");
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body><p>banner text</p></body></html>");
    f.close();

    forms::WebBrowser web;
    auto* view = web.findChild<QTextBrowser*>();
    ASSERT_NE(view, nullptr);
    const std::pair<QString, bool> cases[] = {
        {page, true},
        {QUrl::fromLocalFile(page).toString(), true},
        {"https://lumobook.example/", false},
        {dir.filePath("missing.html"), false},
        {dir.path(), false},
    };
    for (const auto& [url, shown] : cases) {
        EXPECT_EQ(web.Navigate(url), shown) << url.toStdString();
        EXPECT_EQ(view->toPlainText().contains(QStringLiteral("banner text")), shown)
            << url.toStdString();
        EXPECT_EQ(web.locationURL(), shown ? url : QString());
    }
}

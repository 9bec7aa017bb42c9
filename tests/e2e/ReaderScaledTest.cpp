// The real reader on screens scaled as a desktop scales them (QT_SCALE_FACTOR): the same book
// resumed at 1, 1.5 and 2 keeps one layout and writes the same state files, while its letters
// and pictures are drawn at the screen's own resolution.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>

#include "E2eFiles.h"
#include "XSession.h"

namespace {

// Of the 2 x 2 blocks of a region, the share whose four pixels are not all alike, at the
// alignment where that share is least: about 0 where every pixel is an enlarged copy.
double unevenShare(const QImage& shot, const QRect& region) {
    const QImage img = shot.convertToFormat(QImage::Format_RGB32);
    double least = 1;
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            int uneven = 0, all = 0;
            for (int y = region.top() + dy; y + 1 <= region.bottom(); y += 2)
                for (int x = region.left() + dx; x + 1 <= region.right(); x += 2, ++all) {
                    const QRgb a = img.pixel(x, y);
                    if (img.pixel(x + 1, y) != a || img.pixel(x, y + 1) != a ||
                        img.pixel(x + 1, y + 1) != a)
                        ++uneven;
                }
            if (all) least = std::min(least, double(uneven) / all);
        }
    return least;
}

struct ScaledRun {
    bool ok = false;
    QImage shot;
    QRect client;  // device pixels
    QByteArray windowFile, settings, document;
};

// The book resumed by naming it at start (no question), on a screen of `screen` device pixels
// at `scale`, then ended as a session ends it (SIGTERM).
ScaledRun runAt(QSize screen, double scale, const QByteArray& bookBytes, const QString& shot) {
    ScaledRun run;
    XSession x(screen, false);
    if (!x.ok()) return run;
    QTemporaryDir tmp;
    const QString app = tmp.path() + "/app", book = tmp.path() + QStringLiteral("/책.txt");
    if (!installApp(app) || !write(book, bookBytes) ||
        !write(app + "/txtlumofile.txt", documentRecord(book)) ||
        !write(app + "/txtlumoinfo.txt", settingsRecord()) ||
        !write(app + "/data1_0_0", windowRecord(100 * 15, 80 * 15, 1200 * 15, 800 * 15, 51, 101)))
        return run;
    QProcess reader;
    QProcessEnvironment env = x.env();
    env.insert("QT_SCALE_FACTOR", QString::number(scale));
    env.remove("QT_SCREEN_SCALE_FACTORS");
    env.remove("QT_AUTO_SCREEN_SCALE_FACTOR");
    reader.setProcessEnvironment(env);
    reader.start(app + "/Qm_TextLumo", {book});
    QString id;
    XSession::waitFor(
        [&] {
            id = x.run("xdotool", {"search", "--onlyvisible", "--name", "^루모북 \\["}).trimmed();
            return !id.isEmpty();
        },
        15000);
    if (id.isEmpty()) {
        stopProcess(reader);
        return run;
    }
    id = id.section('\n', 0, 0);
    QThread::msleep(1500);  // the spread counted and drawn
    run.shot = x.screenshot(shotDir() + "/" + shot);
    const QString info = x.run("xwininfo", {"-id", id});
    auto field = [&](const char* name) {
        const auto m = QRegularExpression(QString::fromLatin1(name) + R"(:\s*(-?\d+))").match(info);
        return m.hasMatch() ? m.captured(1).toInt() : 0;
    };
    run.client = QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"),
                       field("Width"), field("Height"));
    reader.terminate();
    run.ok = reader.waitForFinished(10000) && reader.exitCode() == 0;
    run.windowFile = read(app + "/data1_0_0");
    run.settings = read(app + "/txtlumoinfo.txt");
    run.document = read(app + "/txtlumofile.txt").replace(tmp.path().toUtf8(), "TMP");
    return run;
}

TEST(ScaledScreens, OneLayoutAndOneStateAtEveryScaleWithLettersAtTheScreensResolution) {
    for (const char* tool : {"Xvfb", "xdotool", "xprop", "xwininfo", "import"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " missing";
    // A real Korean story where there is one (its letters are what a reader looks at).
    QByteArray bytes = read(QStringLiteral(TL_TESTDATA_DIR "/text/nalgae.utf8.txt"));
    if (bytes.isEmpty()) {
        for (int i = 1; i <= 2000; ++i) bytes += "줄 " + QByteArray::number(i) + " 한 장씩 넘기는 책\r\n";
    }
    const ScaledRun one = runAt({1920, 1080}, 1, bytes, "scaled-1x.png");
    const ScaledRun half = runAt({2880, 1620}, 1.5, bytes, "scaled-1.5x.png");
    const ScaledRun two = runAt({3840, 2160}, 2, bytes, "scaled-2x.png");
    ASSERT_TRUE(one.ok && half.ok && two.ok) << one.ok << half.ok << two.ok;

    // One layout: the client area is the unscaled one times the scale, at the same place.
    EXPECT_EQ(one.client, QRect(100, 80, 1200, 800));
    EXPECT_EQ(two.client, QRect(200, 160, 2400, 1600));
    EXPECT_EQ(half.client, QRect(150, 120, 1800, 1200));
    // The same state written: placement, page and count, appearance, book.
    for (const ScaledRun* r : {&half, &two}) {
        EXPECT_EQ(r->windowFile.toHex(), one.windowFile.toHex());
        EXPECT_EQ(r->settings, one.settings);
        EXPECT_EQ(r->document, one.document);
    }
    ASSERT_EQ(one.windowFile.size(), 26);

    // Sharp, not enlarged: the lines of the left page and the open button's label, against
    // the unscaled screenshot's same parts enlarged twice (what a 1x surface shows).
    const struct {
        const char* what;
        QRect logical;
    } parts[] = {{"page text", QRect(40, 110, 420, 400)}, {"open button", QRect(2, 24, 40, 16)}};
    for (const auto& part : parts) {
        SCOPED_TRACE(part.what);
        const QRect atOne = part.logical.translated(one.client.topLeft());
        const QRect atTwo(two.client.topLeft() + part.logical.topLeft() * 2,
                          part.logical.size() * 2);
        const QImage enlarged = one.shot.copy(atOne).scaled(atOne.size() * 2);
        const double sharp = unevenShare(two.shot, atTwo);
        const double blocky = unevenShare(enlarged, enlarged.rect());
        EXPECT_LT(blocky, 0.001);
        EXPECT_GT(sharp, 0.03) << "drawn at half the screen's resolution";
    }
}

}  // namespace

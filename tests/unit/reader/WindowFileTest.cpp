// The 26-byte window file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "window/WindowFile.h"

namespace {

TEST(WindowFile, NameCarriesTheVersion) {
    EXPECT_EQ(windowfile::fileName(), "data1_0_0");
}

TEST(WindowFile, KnownRecordBytesAndRoundTrip) {
    windowfile::Record r;
    r.placement = {-120, 300, 18000, 12345};
    r.currentPage = 7;
    r.pageCount = 120;
    r.pageTurn = 1;
    const QByteArray bytes = windowfile::encode(r);
    ASSERT_EQ(bytes.size(), windowfile::kSize);
    const QByteArray expected = QByteArray::fromHex(
        "88ffffff"
        "2c010000"
        "50460000"
        "39300000"
        "07000000"
        "78000000"
        "0100");
    EXPECT_EQ(bytes, expected);
    const auto back = windowfile::decode(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->placement.left, -120);
    EXPECT_EQ(back->placement.height, 12345);
    EXPECT_EQ(back->currentPage, 7);
    EXPECT_EQ(back->pageCount, 120);
    EXPECT_EQ(back->pageTurn, 1);
    EXPECT_FALSE(windowfile::decode(bytes.left(25)));
}

TEST(WindowFile, PlacementNeedsSixteenBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("data1_0_0");
    EXPECT_FALSE(windowfile::readPlacement(path));  // missing

    windowfile::Record r;
    r.placement = {1, 2, 3, 4};
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(windowfile::encode(r).left(16));
    f.close();
    const auto p = windowfile::readPlacement(path);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->left, 1);
    EXPECT_EQ(p->width, 3);
    EXPECT_EQ(p->height, 4);

    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(windowfile::encode(r).left(15));
    f.close();
    EXPECT_FALSE(windowfile::readPlacement(path));  // short: treated as absent

    // A link at the name is no file, whatever it points to.
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(windowfile::encode(r));
    f.close();
    const QString link = dir.filePath("data9_9_9");
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_FALSE(windowfile::readPlacement(link));
}

TEST(WindowFile, WhichSavedPlacementsAreApplied) {
    using windowfile::PlacementUse;
    // A 1920 x 1080 screen with a 32-pixel panel at the top, a smaller second screen to its
    // right and a larger third one below it.
    const QRectF panelled(0, 32 * 15, 1920 * 15, 1048 * 15);
    const QRectF second(1920 * 15, 0, 1280 * 15, 1024 * 15);
    const QRectF third(0, 1080 * 15, 2560 * 15, 1440 * 15);
    struct Case {
        const char* name;
        windowfile::Placement p;
        PlacementUse expected;
        int screen = 0;  // the one it is maximised on or lies on
    };
    const Case cases[] = {
        {"a normal window", {1500, 1500, 15000, 10500}, PlacementUse::Apply},
        {"maximised beside the panel", {0, 480, 28800, 15720}, PlacementUse::Maximise},
        {"the full screen", {0, 0, 28800, 16200}, PlacementUse::Maximise},
        {"at the minimum size", {0, 600, 6870, 6030}, PlacementUse::Apply},
        {"smaller than the minimum", {0, 600, 6000, 6030}, PlacementUse::Maximise},
        {"a negative width", {0, 600, -15000, 10500}, PlacementUse::Maximise},
        {"a height of 10^9 twips", {0, 600, 15000, 1000000000}, PlacementUse::Maximise},
        {"wider than any screen", {0, 600, 40000, 9000}, PlacementUse::Maximise},
        {"wholly off screen", {-40000, 600, 15000, 10500}, PlacementUse::Maximise},
        {"far below every screen", {0, 2000000000, 15000, 10500}, PlacementUse::Maximise},
        {"extremes that overflow a sum",
         {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
         PlacementUse::Maximise},
        {"partly off screen", {-3000, 600, 15000, 10500}, PlacementUse::Apply},
        {"on the second screen", {30000, 1500, 15000, 10500}, PlacementUse::Apply, 1},
        {"maximised on the smaller second screen", {28800, 0, 19200, 15360},
         PlacementUse::Maximise, 1},
        {"maximised on the larger third screen", {0, 16200, 38400, 21600}, PlacementUse::Maximise,
         2},
        {"mostly on the third screen", {1500, 15000, 15000, 10500}, PlacementUse::Apply, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windowfile::usePlacement(c.p, {panelled, second, third}), c.expected) << c.name;
        if (c.expected == PlacementUse::Apply || c.screen != 0) {
            EXPECT_EQ(windowfile::screenOf(c.p, {panelled, second, third}), c.screen) << c.name;
        }
    }
    EXPECT_EQ(windowfile::usePlacement(std::nullopt, {panelled}), PlacementUse::Maximise);
    EXPECT_EQ(windowfile::usePlacement(cases[0].p, {}), PlacementUse::Maximise);
}

TEST(WindowFile, WhichSavedPositionsAreUsable) {
    struct Case {
        int32_t current, count;
        double characters;
        bool usable;
    };
    const Case cases[] = {
        {1, 1, 10, true},
        {9, 10, 5000, true},
        {11, 11, 5000, true},
        {2, 10, 5000, false},
        {11, 10, 5000, false},
        {5001, 10, 5000, false},
        {0, 10, 5000, false},
        {-1, 10, 5000, false},
        {1, 0, 5000, false},
        {1, -4, 5000, false},
        {1, 5001, 5000, false},
        {INT32_MAX, INT32_MAX, 1e12, true},
        {INT32_MIN, 10, 5000, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(windowfile::positionUsable(c.current, c.count, c.characters), c.usable)
            << c.current << " of " << c.count << " in " << c.characters;
}

}  // namespace

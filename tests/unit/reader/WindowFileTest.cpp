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
}

}  // namespace

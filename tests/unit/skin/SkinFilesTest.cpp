// The reader blits skin pictures at fixed places and loads them through a plain BMP reader,
// so names, sizes and the exact file format are part of the contract.
#include "SkinTestUtil.h"

#include <string>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

struct Expected {
    const char* name;
    int width;
    int height;
};

const Expected kSkin[] = {
    {"b_open", 44, 42},
    {"b_open_down", 44, 42},
    {"b_listview", 46, 42},
    {"b_listview_grey", 46, 42},
    {"b_bookmark", 43, 42},
    {"b_bookmark_down", 43, 42},
    {"b_bookmark_grey", 43, 42},
    {"b_bold", 31, 19},
    {"b_bold_down", 31, 19},
    {"b_fontcolor", 31, 22},
    {"b_fontcolor_down", 31, 22},
    {"b_bgcolor", 31, 22},
    {"b_bgcolor_down", 31, 22},
    {"b_forward", 45, 42},
    {"b_forward_down", 45, 42},
    {"b_forward_grey", 45, 42},
    {"b_prev", 40, 42},
    {"b_prev_down", 40, 42},
    {"b_prev_grey", 40, 42},
    {"b_play", 42, 42},
    {"b_play_down", 42, 42},
    {"b_play_grey", 42, 42},
    {"b_back", 46, 42},
    {"b_back_down", 46, 42},
    {"b_back_grey", 46, 42},
    {"b_helpdesk", 40, 43},
    {"b_helpdesk_down", 40, 43},
    {"b_listv_ok", 61, 36},
    {"b_listv_ok_down", 61, 36},
    {"b_listv_cancel", 61, 36},
    {"bg_top", 1024, 42},
    {"bg_Topback", 8, 42},
    {"bg_listview", 300, 230},
    {"bgscroll", 140, 12},
    {"b_tick", 16, 12},
    {"bg_vertical", 20, 32},
    {"bg_verticalright", 20, 32},
    {"bg_htop", 32, 20},
    {"bg_bottom", 32, 20},
    {"bg_sideleft", 20, 20},
    {"bg_sideright", 20, 20},
    {"bg_btnsideleft", 20, 22},
    {"bg_btnsideright", 20, 22},
    {"bg_centerleft", 12, 20},
    {"bg_centerright", 12, 20},
    {"bg_centerbtnleft", 12, 20},
    {"bg_centerbtnright", 12, 20},
};

const Expected kDesign[] = {
    {"splash", 447, 85},  {"bookmark", 15, 15}, {"sb_tick", 16, 12}, {"sb_left", 12, 12},
    {"sb_right", 12, 12}, {"sb_up", 12, 12},    {"sb_down", 12, 12},
    {"bg_find", 524, 44}, {"bg_chapters", 300, 330}, {"bg_recent", 440, 330},
    {"b_find_prev", 61, 36}, {"b_find_prev_down", 61, 36}, {"b_find_next", 61, 36},
    {"b_find_next_down", 61, 36}, {"b_find_close", 61, 36}, {"b_find_close_down", 61, 36},
};

QString pathOf(const QString& dir, const char* name) {
    return dir + '/' + QLatin1String(name) + QStringLiteral(".bmp");
}

// Reads the header by hand: QImage would happily load formats the reader cannot.
void expectUncompressed24BitBmp(const QString& path, int width, int height) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = f.readAll();
    ASSERT_GE(bytes.size(), 54);
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<qint32>(d + 18), width);
    EXPECT_EQ(std::abs(qFromLittleEndian<qint32>(d + 22)), height);
    EXPECT_EQ(qFromLittleEndian<quint16>(d + 28), 24) << "biBitCount";
    EXPECT_EQ(qFromLittleEndian<quint32>(d + 30), 0u) << "biCompression";
    const qint64 stride = (width * 3 + 3) / 4 * 4;
    const quint32 pixels = qFromLittleEndian<quint32>(d + 10);
    EXPECT_GE(bytes.size(), pixels + stride * height) << "pixel data cut short";
}

void expectFolderHolds(const QString& dir, const Expected* begin, const Expected* end) {
    QSet<QString> expected;
    // Each picture at its size and, for scaled screens, at twice its size as name@2x.bmp.
    for (const Expected* e = begin; e != end; ++e) {
        SCOPED_TRACE(e->name);
        expected.insert(QLatin1String(e->name) + QStringLiteral(".bmp"));
        expected.insert(QLatin1String(e->name) + QStringLiteral("@2x.bmp"));
        expectUncompressed24BitBmp(pathOf(dir, e->name), e->width, e->height);
        expectUncompressed24BitBmp(pathOf(dir, (std::string(e->name) + "@2x").c_str()),
                                   2 * e->width, 2 * e->height);
    }
    const QStringList present = QDir(dir).entryList(QDir::Files);
    EXPECT_EQ(QSet<QString>(present.begin(), present.end()), expected);
}

}  // namespace

TEST(SkinFiles, SkinFolderHoldsExactlyTheSkinAsUncompressed24BitBmps) {
    expectFolderHolds(skintest::skinDir(), std::begin(kSkin), std::end(kSkin));
}

TEST(SkinFiles, DesignPicturesAreWrittenAtTheirSizes) {
    for (const Expected& e : kDesign) {
        SCOPED_TRACE(e.name);
        expectUncompressed24BitBmp(pathOf(skintest::designDir(), e.name), e.width, e.height);
    }
}

// A build that paints different bytes each time would rebuild and re-ship the skin for nothing.
TEST(SkinFiles, RegeneratingGivesTheSameBytes) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString skinOut = tmp.filePath("skin"), designOut = tmp.filePath("design");
    QProcess gen;
    gen.start(QStringLiteral(TL_BINARY_DIR "/tools/skin/skin-gen"), {skinOut, designOut});
    ASSERT_TRUE(gen.waitForFinished(60000)) << gen.errorString().toStdString();
    ASSERT_EQ(gen.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();

    auto same = [](const QString& a, const QString& b) {
        QFile fa(a), fb(b);
        return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) &&
               fa.readAll() == fb.readAll();
    };
    for (const Expected& e : kSkin)
        EXPECT_TRUE(same(pathOf(skinOut, e.name), pathOf(skintest::skinDir(), e.name))) << e.name;
    for (const Expected& e : kDesign)
        EXPECT_TRUE(same(pathOf(designOut, e.name), pathOf(skintest::designDir(), e.name)))
            << e.name;
}

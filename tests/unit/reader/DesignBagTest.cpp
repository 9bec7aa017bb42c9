// The window design's property bag: the page bar's saved properties, and the
// text format.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTextStream>

#include "Qm_ImgScrollBar/ImageScrollBar.h"
#include "controls/HostedControl.h"
#include "dialogs/ScriptedDialogs.h"
#include "pages/DesignBag.h"

namespace {

using controls::Variant;

QString writeDesign(const QTemporaryDir& dir, const QString& text) {
    const QString path = dir.filePath("test.design");
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Text);
    f.write(text.toUtf8());
    return path;
}

}  // namespace

TEST(DesignBag, ThePageBarsDesign) {
    DesignBag bag(QStringLiteral(":/window/Frm_TxtViewer.design"),
                  QStringLiteral("ImageScrollBar1"));
    ASSERT_TRUE(bag.isValid());
    EXPECT_TRUE(bag.problems().isEmpty()) << bag.problems().join('\n').toStdString();
    const std::pair<const char*, int32_t> numbers[] = {
        {"Min", 1}, {"Value", 1}, {"LargeChange", 2}, {"SmallChange", 2}};
    for (const auto& [name, v] : numbers)
        EXPECT_EQ(bag.Read(name, controls::LongVariant(-99)), controls::LongVariant(v)) << name;
    const std::pair<const char*, QSize> pictures[] = {{"TickPicture", {16, 12}},
                                                      {"LeftArrowPicture", {12, 12}},
                                                      {"RightArrowPicture", {12, 12}},
                                                      {"UpArrowPicture", {12, 12}},
                                                      {"DownArrowPicture", {12, 12}}};
    for (const auto& [name, size] : pictures) {
        const controls::PictureRef p =
            controls::toPicture(bag.Read(name, controls::PictureVariant(nullptr)));
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(QSize(p->width(), p->height()), size) << name;
    }
    // Everything else is at the default the control asks with.
    for (const char* name : {"Max", "Enabled", "ScrollBgPicture", "ScrollEnablePicture",
                             "Orientation", "AutoSize", "BgPicture", "BackColor"})
        EXPECT_EQ(bag.Read(name, Variant(QStringLiteral("default"))),
                  Variant(QStringLiteral("default")))
            << name;
}

TEST(DesignBag, TextFormat) {
    QTemporaryDir dir;
    const QString path = writeDesign(dir,
                                     "# a comment\n"
                                     "\n"
                                     "  Bar1.Max = 100  \n"
                                     "bar1.enabled = False\n"
                                     "Bar1.BackColor = &H8000000F\n"
                                     "Bar1.Caption = \"쪽 = 1\"\n"
                                     "Bar1.Min = -5\n"
                                     "Bar2.Min = 7\n"
                                     "Bar1.Broken\n"
                                     "Bar1.Half = 2.5\n"
                                     "Bar1.Missing = :/design/none.bmp\n");
    DesignBag bag(path, QStringLiteral("Bar1"));
    ASSERT_TRUE(bag.isValid());
    const Variant none = Variant(QStringLiteral("none"));
    const std::pair<const char*, Variant> cases[] = {
        {"Max", controls::LongVariant(100)},
        {"Enabled", controls::BoolVariant(false)},
        {"BACKCOLOR", controls::LongVariant(int32_t(0x8000000F))},
        {"Caption", Variant(QStringLiteral("쪽 = 1"))},
        {"Min", controls::LongVariant(-5)},  // Bar2's line belongs to Bar2
        {"Half", none},
        {"Missing", controls::PictureVariant(nullptr)},
        {"Broken", none},
    };
    for (const auto& [name, v] : cases) EXPECT_EQ(bag.Read(name, none), v) << name;
    EXPECT_EQ(bag.problems(),
              (QStringList{"Bar1.Broken", "Bar1.Half = 2.5", "Bar1.Missing = :/design/none.bmp"}));

    bag.Write("Max", controls::LongVariant(3), controls::LongVariant(2147483647));
    EXPECT_EQ(bag.Read("max", none), controls::LongVariant(3));
    EXPECT_FALSE(DesignBag(dir.filePath("absent.design"), "Bar1").isValid());
}

TEST(DesignBag, ThePageBarLoadsFromIt) {
    QString error;
    auto lib =
        controls::Library::Load(QStringLiteral(TL_APP_DIR "/ocx/libQm_ImgScrollBar.so"), &error);
    ASSERT_TRUE(lib) << error.toStdString();
    dlg::ScriptedDialogs dialogs;
    auto bar = controls::HostedControl::Create(*lib, Qm_ImgScrollBar::kProgId, nullptr, dialogs);
    ASSERT_TRUE(bar);
    DesignBag bag(QStringLiteral(":/window/Frm_TxtViewer.design"),
                  QStringLiteral("ImageScrollBar1"));
    ASSERT_EQ(bar->load(bag), controls::Status::Ok);
    namespace P = Qm_ImgScrollBar::_ImageScrollBar;
    EXPECT_EQ(bar->getLong(P::Min), 1);
    EXPECT_EQ(bar->getLong(P::LargeChange), 2);
    EXPECT_EQ(bar->getLong(P::Max), 2147483647);
    EXPECT_EQ(bar->getPicture(P::TickPicture)->width(), 16);
    EXPECT_EQ(bar->getPicture(P::ScrollBgPicture), nullptr);
}

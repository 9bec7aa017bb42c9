// Saving and loading through the property bag: names, orders, defaults, the round trip, a
// partial bag like the reader's design, and saved values that skipped the set rules.

#include <gtest/gtest.h>

#include "Harness.h"

using namespace sbtest;
using controls::MemoryBag;

namespace {

QStringList names(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* n : list) out.append(QString::fromLatin1(n));
    return out;
}

}  // namespace

TEST(Persistence, SaveWritesAllTwentyInOrderWithTheirDefaults) {
    Bar bar;
    MemoryBag bag;
    ASSERT_EQ(bar.ctl->Save(bag), Status::Ok);
    EXPECT_EQ(bag.writes(), names({"Enabled",
                                   "ArrowVisible",
                                   "Min",
                                   "Max",
                                   "Value",
                                   "LargeChange",
                                   "SmallChange",
                                   "Orientation",
                                   "AutoSize",
                                   "ScrollBgPicture",
                                   "TickPicture",
                                   "LeftArrowPicture",
                                   "RightArrowPicture",
                                   "UpArrowPicture",
                                   "DownArrowPicture",
                                   "ScrollEnablePicture",
                                   "BackColor",
                                   "TickBackColor",
                                   "TickBorderColor",
                                   "BgPicture"}));
    const std::pair<const char*, Variant> defaults[] = {
        {"Enabled", B(true)},
        {"ArrowVisible", B(true)},
        {"Min", L(0)},
        {"Max", L(2147483647)},
        {"Value", L(0)},
        {"LargeChange", L(1)},
        {"SmallChange", L(1)},
        {"Orientation", L(0)},
        {"AutoSize", B(false)},
        {"ScrollBgPicture", Pic(nullptr)},
        {"TickPicture", Pic(nullptr)},
        {"UpArrowPicture", Pic(nullptr)},
        {"BackColor", L(int32_t(0x8000000F))},
        {"TickBorderColor", L(int32_t(0x8000000F))},
        {"BgPicture", B(false)},
    };
    for (const auto& [name, v] : defaults) EXPECT_EQ(bag.writtenDefault(name), v) << name;
    // A new instance saves its built-in pictures, not Nothing.
    EXPECT_EQ(bag.value("TickPicture"), Pic(bar.ctl->builtin(Qm_ImgScrollBar::Builtin::Tick)));
}

TEST(Persistence, LoadReadsInItsOwnOrderAndRaisesNothing) {
    MemoryBag bag;
    Bar bar(QSize(200, 17), &bag);
    ASSERT_EQ(bar.loadStatus, Status::Ok);
    EXPECT_EQ(bag.reads(), names({"Enabled",
                                  "ArrowVisible",
                                  "Min",
                                  "Max",
                                  "Value",
                                  "LargeChange",
                                  "SmallChange",
                                  "AutoSize",
                                  "Orientation",
                                  "ScrollBgPicture",
                                  "TickPicture",
                                  "UpArrowPicture",
                                  "DownArrowPicture",
                                  "LeftArrowPicture",
                                  "RightArrowPicture",
                                  "ScrollEnablePicture",
                                  "BackColor",
                                  "TickBackColor",
                                  "TickBorderColor",
                                  "BgPicture"}));
    EXPECT_TRUE(bar.rec.log.isEmpty());
}

TEST(Persistence, RoundTripGivesBackEveryValue) {
    const PictureRef a = controls::MakePicture(QImage(30, 12, QImage::Format_RGB32));
    const PictureRef b = controls::MakePicture(QImage(8, 12, QImage::Format_RGB32));
    const PictureRef empty = controls::MakePicture(QImage());
    const std::vector<std::pair<DISPID, Variant>> settings[] = {
        // Every property away from its default.
        {{P::Max, L(40)},
         {P::Min, L(-3)},
         {P::Value, L(7)},
         {P::LargeChange, L(4)},
         {P::SmallChange, L(2)},
         {P::Orientation, L(1)},
         {P::ArrowVisible, B(false)},
         {P::BackColor, L(0x00102030)},
         {P::TickBackColor, L(0x00405060)},
         {P::TickBorderColor, L(0x00708090)},
         {P::ScrollBgPicture, Pic(a)},
         {P::ScrollEnablePicture, Pic(empty)},
         {P::TickPicture, Pic(b)},
         {P::UpArrowPicture, Pic(b)},
         {P::DownArrowPicture, Pic(a)},
         {P::LeftArrowPicture, Pic(b)},
         {P::RightArrowPicture, Pic(a)},
         {P::BgPicture, B(true)},
         {P::AutoSize, B(true)},
         {P::Enabled, B(false)}},
        // Nothing for both backgrounds.
        {{P::ScrollBgPicture, Pic(nullptr)}, {P::ScrollEnablePicture, Pic(nullptr)}},
    };
    for (const auto& puts : settings) {
        Bar first;
        first.putAll(puts);
        MemoryBag bag;
        ASSERT_EQ(first.ctl->Save(bag), Status::Ok);
        Bar second(QSize(200, 17), &bag);
        ASSERT_EQ(second.loadStatus, Status::Ok);
        for (const auto& p : Qm_ImgScrollBar::kProperties)
            EXPECT_EQ(second.get(p.id), first.get(p.id)) << p.name;
        EXPECT_TRUE(second.rec.log.isEmpty());
    }
}

TEST(Persistence, NothingPicturesFromABagSurviveSaveAndLoad) {
    // An empty bag loads Nothing for every picture; saving writes Nothing back.
    MemoryBag empty;
    Bar first(QSize(200, 17), &empty);
    ASSERT_EQ(first.loadStatus, Status::Ok);
    MemoryBag saved;
    first.ctl->Save(saved);
    Bar second(QSize(200, 17), &saved);
    ASSERT_EQ(second.loadStatus, Status::Ok);
    for (const auto& p : Qm_ImgScrollBar::kProperties) {
        if (p.kind == Qm_ImgScrollBar::BagKind::Picture) {
            EXPECT_EQ(second.get(p.id), Pic(nullptr)) << p.name;
        }
    }
}

TEST(Persistence, TheReadersDesignBag) {
    // Min, Value and the two changes only: everything else at its bag default.
    MemoryBag bag({{"Min", L(1)}, {"Value", L(1)}, {"LargeChange", L(2)}, {"SmallChange", L(2)}});
    Bar bar(QSize(200, 17), &bag);
    ASSERT_EQ(bar.loadStatus, Status::Ok);
    const std::pair<DISPID, Variant> expected[] = {
        {P::Min, L(1)},
        {P::Value, L(1)},
        {P::LargeChange, L(2)},
        {P::SmallChange, L(2)},
        {P::Max, L(2147483647)},
        {P::Enabled, B(true)},
        {P::ArrowVisible, B(true)},
        {P::AutoSize, B(false)},
        {P::Orientation, L(0)},
        {P::BgPicture, B(false)},
        {P::BackColor, L(int32_t(0x8000000F))},
        {P::TickPicture, Pic(nullptr)},
        {P::UpArrowPicture, Pic(nullptr)},
        {P::ScrollBgPicture, Pic(nullptr)},
        {P::ScrollEnablePicture, Pic(nullptr)},
    };
    for (const auto& [id, v] : expected)
        EXPECT_EQ(bar.get(id), v) << propertyName(id).toStdString();
    // It lays out and steps with Nothing pictures all the same (the press comes from no mouse
    // button the platform knows of, so the repeat ends after the first step).
    bar.put(P::Orientation, L(1));
    bar.put(P::Max, L(7));
    bar.clearLog();
    bar.ctl->arrowDown(+1);
    bar.ctl->arrowUp();
    EXPECT_EQ(bar.rec.events(), (QStringList{"ClickDown", "Change=3", "Click"}));
}

TEST(Persistence, SavedValuesOutsideTheSetRulesNeverBreakTheBar) {
    struct Case {
        const char* name;
        QList<QPair<QString, Variant>> bag;
        QStringList events;  // of a press and release on the increase arrow
    };
    const Case cases[] = {
        // LargeChange 0 would divide by zero in the tick length; SmallChange -3 would step
        // backwards: both act as 1.
        {"changes of zero and below",
         {{"LargeChange", L(0)}, {"SmallChange", L(-3)}, {"Max", L(4)}, {"Value", L(3)}},
         {"ClickDown", "Change=4", "Change=4", "Click"}},
        {"Min above Max",
         {{"Min", L(10)}, {"Max", L(2)}, {"Value", L(5)}},
         {"ClickDown", "Change=10", "Click"}},  // the clamp tries Max first, then Min
        {"Value at the 32-bit limit",
         {{"Value", L(2147483647)}},
         {"ClickDown", "Change=2147483647", "Click"}},
    };
    for (const Case& c : cases) {
        MemoryBag bag(c.bag);
        Bar bar(QSize(200, 17), &bag);
        ASSERT_EQ(bar.loadStatus, Status::Ok) << c.name;
        bar.put(P::Orientation, L(1));
        EXPECT_GE(bar.tick().width(), 180) << c.name;
        bar.clearLog();
        bar.ctl->arrowDown(+1);
        bar.ctl->arrowUp();
        EXPECT_EQ(bar.rec.events(), c.events) << c.name;
    }
}

TEST(Persistence, AValueOfTheWrongKindLoadsNothing) {
    Bar bar;
    bar.put(P::Max, L(10));
    MemoryBag bag({{"Min", L(3)}, {"TickPicture", L(5)}});
    EXPECT_EQ(bar.ctl->Load(bag), Status::TypeMismatch);
    EXPECT_EQ(bar.getLong(P::Min), 0);
    EXPECT_EQ(bar.getLong(P::Max), 10);
}

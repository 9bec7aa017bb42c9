// The twenty properties: new-instance defaults, the set rules with their side effects, events
// and change notices, the built-in pictures behind Nothing, and statuses for bad values.

#include <gtest/gtest.h>

#include <limits>

#include "Harness.h"

using namespace sbtest;
using Qm_ImgScrollBar::Builtin;

namespace {
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
const QString kInvalid = QStringLiteral("속성값이 잘못되었습니다.");
}  // namespace

TEST(Properties, NewInstanceDefaults) {
    Bar bar;
    const std::pair<DISPID, Variant> expected[] = {
        {P::Min, L(0)},
        {P::Max, L(kMax32)},
        {P::Value, L(0)},
        {P::LargeChange, L(1)},
        {P::SmallChange, L(1)},
        {P::Orientation, L(0)},
        {P::Enabled, B(true)},
        {P::ArrowVisible, B(true)},
        {P::AutoSize, B(false)},
        {P::BgPicture, B(false)},
        {P::BackColor, L(int32_t(0x8000000F))},
        {P::TickBackColor, L(int32_t(0x8000000F))},
        {P::TickBorderColor, L(int32_t(0x8000000F))},
    };
    for (const auto& [id, v] : expected)
        EXPECT_EQ(bar.get(id), v) << propertyName(id).toStdString();
    // Booleans travel as 16-bit -1.
    EXPECT_TRUE(std::holds_alternative<int16_t>(bar.get(P::Enabled)));

    const std::tuple<DISPID, Builtin, QSize> pictures[] = {
        {P::UpArrowPicture, Builtin::UpArrow, {21, 16}},
        {P::TickPicture, Builtin::Tick, {21, 21}},
        {P::LeftArrowPicture, Builtin::LeftArrow, {16, 21}},
        {P::RightArrowPicture, Builtin::RightArrow, {16, 21}},
        {P::DownArrowPicture, Builtin::DownArrow, {21, 16}},
    };
    for (const auto& [id, which, size] : pictures) {
        const PictureRef p = bar.getPicture(id);
        ASSERT_TRUE(p) << propertyName(id).toStdString();
        EXPECT_EQ(p, bar.ctl->builtin(which)) << propertyName(id).toStdString();
        EXPECT_EQ(QSize(p->width(), p->height()), size) << propertyName(id).toStdString();
    }
    // The two backgrounds are the empty picture, which is not Nothing.
    for (DISPID id : {P::ScrollBgPicture, P::ScrollEnablePicture}) {
        const PictureRef p = bar.getPicture(id);
        ASSERT_TRUE(p);
        EXPECT_TRUE(p->isEmpty());
    }
    EXPECT_TRUE(bar.rec.log.isEmpty());
}

TEST(Properties, SetRules) {
    struct Case {
        const char* name;
        std::vector<std::pair<DISPID, Variant>> before;
        DISPID id;
        Variant value;
        std::vector<std::pair<DISPID, int32_t>> after;
        QStringList log;
    };
    const Case cases[] = {
        {"Value raises Change on every set",
         {{P::Max, L(10)}, {P::Value, L(3)}},
         P::Value,
         L(3),
         {{P::Value, 3}},
         {"Change=3", "~Value"}},
        {"Value above Max stores Max",
         {{P::Max, L(10)}},
         P::Value,
         L(15),
         {{P::Value, 10}},
         {"Change=10", "~Value"}},
        {"Value below Min stores Min",
         {{P::Max, L(10)}, {P::Min, L(2)}},
         P::Value,
         L(-4),
         {{P::Value, 2}},
         {"Change=2", "~Value"}},
        {"a double rounds halves to even",
         {{P::Max, L(10)}},
         P::Value,
         Variant(4.5),
         {{P::Value, 4}},
         {"Change=4", "~Value"}},
        {"Min above Value pulls Value up",
         {{P::Max, L(10)}, {P::Value, L(2)}},
         P::Min,
         L(5),
         {{P::Min, 5}, {P::Value, 5}},
         {"Change=5", "~Value", "~Min"}},
        {"Min above Max is refused with a box",
         {{P::Max, L(10)}},
         P::Min,
         L(11),
         {{P::Min, 0}, {P::Max, 10}},
         {"box"}},
        {"Min equal to Max is fine",
         {{P::Max, L(10)}},
         P::Min,
         L(10),
         {{P::Min, 10}},
         {"Change=10", "~Value", "~Min"}},
        {"Max below Value leaves Value",
         {{P::Max, L(20)}, {P::Min, L(1)}, {P::Value, L(10)}},
         P::Max,
         L(3),
         {{P::Max, 3}, {P::Value, 10}},
         {"~Max"}},
        {"Max below Min is ignored, still notified",
         {{P::Max, L(10)}, {P::Min, L(5)}},
         P::Max,
         L(4),
         {{P::Max, 10}, {P::Min, 5}},
         {"~Max"}},
        {"LargeChange 0 is refused", {}, P::LargeChange, L(0), {{P::LargeChange, 1}}, {"box"}},
        {"LargeChange -1 is refused", {}, P::LargeChange, L(-1), {{P::LargeChange, 1}}, {"box"}},
        {"LargeChange 1 is accepted",
         {{P::LargeChange, L(5)}},
         P::LargeChange,
         L(1),
         {{P::LargeChange, 1}},
         {"~LargeChange"}},
        {"SmallChange 0 is refused", {}, P::SmallChange, L(0), {{P::SmallChange, 1}}, {"box"}},
        {"SmallChange 3 is accepted",
         {},
         P::SmallChange,
         L(3),
         {{P::SmallChange, 3}},
         {"~SmallChange"}},
        {"any nonzero Boolean is True", {}, P::Enabled, L(5), {{P::Enabled, -1}}, {"~Enabled"}},
        {"a Boolean from text",
         {},
         P::AutoSize,
         Variant(QStringLiteral("True")),
         {{P::AutoSize, -1}},
         {"~AutoSize"}},
        {"Orientation takes any value",
         {},
         P::Orientation,
         L(2),
         {{P::Orientation, 2}},
         {"~Orientation"}},
        {"colours are stored as given",
         {},
         P::TickBackColor,
         L(0x123456),
         {{P::TickBackColor, 0x123456}},
         {"~TickBackColor"}},
    };
    for (const Case& c : cases) {
        Bar bar;
        bar.putAll(c.before);
        bar.clearLog();
        EXPECT_EQ(bar.put(c.id, c.value), Status::Ok) << c.name;
        for (const auto& [id, v] : c.after)
            EXPECT_EQ(bar.getLong(id), v) << c.name << ": " << propertyName(id).toStdString();
        EXPECT_EQ(bar.rec.log, c.log) << c.name;
        for (const Box& box : bar.rec.boxes) {
            EXPECT_EQ(box.prompt, kInvalid) << c.name;
            EXPECT_EQ(box.style, 16) << c.name;
            EXPECT_EQ(box.title, QString()) << c.name;
        }
    }
}

TEST(Properties, EachPutShowsInItsOwnGetAlone) {
    // A value unlike its default for every property: the put shows in that property's get and
    // leaves the other nineteen as they were.
    const PictureRef pic = controls::MakePicture(QImage(4, 4, QImage::Format_RGB32));
    const std::pair<DISPID, Variant> puts[] = {
        {P::Enabled, B(false)},
        {P::ArrowVisible, B(false)},
        {P::AutoSize, B(true)},
        {P::BgPicture, B(true)},
        {P::Min, L(-7)},
        {P::Max, L(500)},
        {P::Value, L(5)},
        {P::LargeChange, L(3)},
        {P::SmallChange, L(2)},
        {P::Orientation, L(1)},
        {P::BackColor, L(0x010203)},
        {P::TickBackColor, L(0x040506)},
        {P::TickBorderColor, L(0x0708)},
        {P::ScrollBgPicture, Pic(pic)},
        {P::TickPicture, Pic(pic)},
        {P::ScrollEnablePicture, Pic(pic)},
        {P::UpArrowPicture, Pic(pic)},
        {P::DownArrowPicture, Pic(pic)},
        {P::LeftArrowPicture, Pic(pic)},
        {P::RightArrowPicture, Pic(pic)},
    };
    for (const auto& [id, v] : puts) {
        Bar bar;
        bar.put(P::Max, L(1000));  // so that Min -7 still gives a tick
        std::vector<Variant> before;
        for (const auto& p : Qm_ImgScrollBar::kProperties) before.push_back(bar.get(p.id));
        ASSERT_EQ(bar.put(id, v), Status::Ok) << propertyName(id).toStdString();
        for (size_t i = 0; i < before.size(); ++i) {
            const DISPID other = Qm_ImgScrollBar::kProperties[i].id;
            EXPECT_EQ(bar.get(other), other == id ? v : before[i])
                << propertyName(id).toStdString() << " -> " << propertyName(other).toStdString();
        }
    }
}

TEST(Properties, BadValuesAreRefusedWithAStatus) {
    struct Case {
        DISPID id;
        Variant value;
        Status status;
    };
    const Case cases[] = {
        {P::Value, Variant(QStringLiteral("viel")), Status::TypeMismatch},
        {P::Value, Variant(1e12), Status::Overflow},
        {P::Max, Variant(QStringLiteral("3000000000")), Status::Overflow},
        {P::Enabled, Pic(nullptr), Status::TypeMismatch},
        {P::TickPicture, L(1), Status::TypeMismatch},
        {P::TickPicture, Variant(), Status::TypeMismatch},
        {0x68030014, L(1), Status::UnknownMember},
        {0, L(1), Status::UnknownMember},
    };
    for (const Case& c : cases) {
        Bar bar;
        bar.put(P::Max, L(10));
        bar.put(P::Value, L(3));
        bar.clearLog();
        EXPECT_EQ(bar.put(c.id, c.value), c.status) << std::hex << c.id;
        EXPECT_EQ(bar.getLong(P::Value), 3);
        EXPECT_EQ(bar.getLong(P::Max), 10);
        EXPECT_TRUE(bar.rec.log.isEmpty()) << bar.rec.log.join(' ').toStdString();
    }
    Bar bar;
    Variant out = L(7);
    EXPECT_EQ(bar.ctl->Get(0x68030014, out), Status::UnknownMember);
}

TEST(Properties, NothingRestoresTheBuiltInPicture) {
    struct Case {
        DISPID id;
        int32_t orientation;
        Builtin expected;
    };
    const Case cases[] = {
        {P::TickPicture, 0, Builtin::Tick},
        {P::UpArrowPicture, 0, Builtin::UpArrow},
        {P::UpArrowPicture, 1, Builtin::LeftArrow},
        {P::DownArrowPicture, 0, Builtin::DownArrow},
        {P::DownArrowPicture, 1, Builtin::RightArrow},
        {P::DownArrowPicture, 7, Builtin::RightArrow},  // any nonzero is horizontal
        {P::LeftArrowPicture, 0, Builtin::LeftArrow},
        {P::RightArrowPicture, 1, Builtin::RightArrow},
    };
    const PictureRef mine = controls::MakePicture(QImage(5, 5, QImage::Format_RGB32));
    for (const Case& c : cases) {
        Bar bar;
        bar.put(P::Orientation, L(c.orientation));
        ASSERT_EQ(bar.put(c.id, Pic(mine)), Status::Ok);
        // Pictures cross by reference and are never copied.
        EXPECT_EQ(bar.getPicture(c.id), mine);
        bar.clearLog();
        EXPECT_EQ(bar.put(c.id, Pic(nullptr)), Status::Ok);
        EXPECT_EQ(bar.getPicture(c.id), bar.ctl->builtin(c.expected))
            << propertyName(c.id).toStdString() << " " << c.orientation;
        EXPECT_EQ(bar.rec.log, QStringList{QLatin1Char('~') + propertyName(c.id)});
    }
    // The backgrounds have no built-in picture: Nothing stays Nothing.
    Bar bar;
    for (DISPID id : {P::ScrollBgPicture, P::ScrollEnablePicture}) {
        EXPECT_EQ(bar.put(id, Pic(nullptr)), Status::Ok);
        EXPECT_EQ(bar.get(id), Pic(nullptr));
    }
}

TEST(Properties, RangesBeyond32BitsReportOverflowAndStayUsable) {
    Bar bar;
    bar.put(P::Orientation, L(1));
    bar.put(P::Value, L(5));
    bar.clearLog();
    // Max - Min of -1 .. 2147483647 does not fit: the tick cannot be built.
    EXPECT_EQ(bar.put(P::Min, L(-1)), Status::Overflow);
    EXPECT_EQ(bar.getLong(P::Min), -1);
    EXPECT_EQ(bar.put(P::Value, L(9)), Status::Overflow);
    EXPECT_EQ(bar.getLong(P::Value), 9);
    EXPECT_TRUE(bar.rec.events().isEmpty());
    // A range that fits again makes it whole.
    EXPECT_EQ(bar.put(P::Max, L(100)), Status::Ok);
    bar.clearLog();
    EXPECT_EQ(bar.put(P::Value, L(50)), Status::Ok);
    EXPECT_EQ(bar.rec.log, (QStringList{"Change=50", "~Value"}));
    EXPECT_GT(bar.tick().left(), 240);
}

TEST(Properties, ArrowAndEnabledVisibility) {
    struct Case {
        std::vector<std::pair<DISPID, Variant>> puts;
        bool tick, up0, up1;
    };
    const Case cases[] = {
        {{}, true, true, false},
        {{{P::Orientation, L(1)}}, true, false, true},
        {{{P::ArrowVisible, B(false)}}, true, false, false},
        {{{P::Orientation, L(1)}, {P::ArrowVisible, B(false)}, {P::Orientation, L(0)}},
         true,
         false,
         false},
        {{{P::Enabled, B(false)}}, false, false, false},
        {{{P::Enabled, B(false)}, {P::Enabled, B(true)}}, true, true, false},
    };
    for (const Case& c : cases) {
        Bar bar;
        bar.putAll(c.puts);
        EXPECT_EQ(bar.tick().shown(), c.tick);
        EXPECT_EQ(bar.ctl->decreaseArrow(0).shown(), c.up0);
        EXPECT_EQ(bar.ctl->increaseArrow(0).shown(), c.up0);
        EXPECT_EQ(bar.ctl->decreaseArrow(1).shown(), c.up1);
        EXPECT_EQ(bar.ctl->increaseArrow(1).shown(), c.up1);
    }
}

TEST(Properties, DestroyedFromItsOwnChangeHandler) {
    auto bar = std::make_unique<Bar>();
    bar->put(P::Max, L(10));
    bar->clearLog();
    bar->rec.onEvent = [&](DISPID id) {
        if (id == E::Change) bar->ctl.reset();
    };
    // The set finds the control gone after its event and returns without touching it.
    EXPECT_EQ(bar->ctl->Put(P::Value, L(4)), Status::Ok);
    EXPECT_EQ(bar->ctl, nullptr);
    EXPECT_EQ(bar->rec.log, QStringList{"Change=4"});
}

#pragma once
/**
 * @file
 * @brief What a host needs to know to drive the picture scroll bar of the control library
 *        Qm_ImgScrollBar: its programmatic id, the dispatch ids of its properties and events,
 *        the orientation values, and the names and defaults of its saved properties.
 *
 * The control is created through controls::Library (platform/controls) from
 * `ocx/libQm_ImgScrollBar.so` and driven late-bound with controls::Control::Get and
 * controls::Control::Put. Booleans travel as 16-bit integers (-1 True, 0 False), integers and
 * OLE colours as 32-bit integers, pictures as controls::PictureRef (nullptr is Nothing).
 * Every length inside the control is in twips; the host sizes the control's widget in pixels.
 */

#include <cstdint>

#include "controls/Variant.h"

namespace Qm_ImgScrollBar {

/// The programmatic id to pass to controls::Library::Create.
inline constexpr char kProgId[] = "Qm_ImgScrollBar.ImageScrollBar";

/// Dispatch ids of the properties (the default interface `_ImageScrollBar`).
namespace _ImageScrollBar {
/// Boolean. False hides the tick and the arrows, shows ScrollEnablePicture and ignores the track.
inline constexpr controls::DISPID Enabled = 0x68030013;
/// Boolean. True shows the background picture, False only BackColor.
inline constexpr controls::DISPID BgPicture = 0x68030012;
/// OLE colour of the surface.
inline constexpr controls::DISPID BackColor = 0x68030011;
/// OLE colour of the drawn tick's face.
inline constexpr controls::DISPID TickBackColor = 0x68030010;
/// OLE colour of the drawn tick's border.
inline constexpr controls::DISPID TickBorderColor = 0x6803000F;
/// Boolean. Shows or hides the two arrows.
inline constexpr controls::DISPID ArrowVisible = 0x6803000E;
/// 32-bit. A Min above Max is refused with a message box; the put still returns Ok.
inline constexpr controls::DISPID Min = 0x6803000D;
/// 32-bit. A Max below Min is ignored silently; Value is not adjusted.
inline constexpr controls::DISPID Max = 0x6803000C;
/// 32-bit, clamped to Min..Max. Every put raises Change, also when the value stays.
inline constexpr controls::DISPID Value = 0x6803000B;
/// 32-bit, above 0. The step of a press on the track; also sets the tick's length.
inline constexpr controls::DISPID LargeChange = 0x6803000A;
/// 32-bit, above 0. The step of a press on an arrow.
inline constexpr controls::DISPID SmallChange = 0x68030009;
/// Picture. The track background while enabled.
inline constexpr controls::DISPID ScrollBgPicture = 0x68030008;
/// Picture. The tick, shown as it is in the auto-size layout; Nothing restores the built-in one.
inline constexpr controls::DISPID TickPicture = 0x68030007;
/// Picture. The decrease arrow of the vertical bar; Nothing restores the built-in one.
inline constexpr controls::DISPID UpArrowPicture = 0x68030006;
/// Picture. The increase arrow of the vertical bar; Nothing restores the built-in one.
inline constexpr controls::DISPID DownArrowPicture = 0x68030005;
/// Picture. The decrease arrow of the horizontal bar; Nothing restores the built-in one.
inline constexpr controls::DISPID LeftArrowPicture = 0x68030004;
/// Picture. The increase arrow of the horizontal bar; Nothing restores the built-in one.
inline constexpr controls::DISPID RightArrowPicture = 0x68030003;
/// 32-bit, one of Orientations; any nonzero value lays the bar out horizontally.
inline constexpr controls::DISPID Orientation = 0x68030002;
/// Picture. The background while disabled.
inline constexpr controls::DISPID ScrollEnablePicture = 0x68030001;
/// Boolean. True sizes the control to its background picture and shows every picture unstretched.
inline constexpr controls::DISPID AutoSize = 0x68030000;
}  // namespace _ImageScrollBar

/// Event ids (the event interface `__ImageScrollBar`); no event carries arguments.
namespace __ImageScrollBar {
/// A button was released on the tick, an arrow or (while enabled) the track.
inline constexpr controls::DISPID Click = 1;
/// Value was set (by the host or by a step), or a drag of the tick ended.
inline constexpr controls::DISPID Change = 2;
/// A drag moved the tick onto another whole value; Value already holds it.
inline constexpr controls::DISPID Scroll = 3;
/// A button went down on the tick, an arrow or (while enabled) the track, before anything else.
inline constexpr controls::DISPID ClickDown = 4;
}  // namespace __ImageScrollBar

/// Values of the Orientation property.
enum Orientations : int32_t { oVertical = 0, oHorizontal = 1 };

/// How a saved property travels through the property bag.
enum class BagKind { Boolean, Integer, Colour, Picture };

/// One saved property: its bag name (the property's name), dispatch id, kind, default and the
/// help text that property browsers show (nullptr when it has none).
struct PropertyInfo {
    const char* name;
    controls::DISPID id;
    BagKind kind;
    /// -1 / 0 for Booleans, the number or OLE colour otherwise; pictures default to Nothing.
    int32_t defaultValue;
    const char* helpText;
};

/// All twenty properties in the order the control saves them.
inline constexpr PropertyInfo kProperties[] = {
    {"Enabled", _ImageScrollBar::Enabled, BagKind::Boolean, -1,
     "사용자가 만든 이벤트에 대해 개체가 응답할 수 있는지의 여부를 결정하는 값을 반환하거나 "
     "설정합니다."},
    {"ArrowVisible", _ImageScrollBar::ArrowVisible, BagKind::Boolean, -1, "화살표 Visible 여부"},
    {"Min", _ImageScrollBar::Min, BagKind::Integer, 0, nullptr},
    {"Max", _ImageScrollBar::Max, BagKind::Integer, 2147483647, nullptr},
    {"Value", _ImageScrollBar::Value, BagKind::Integer, 0, nullptr},
    {"LargeChange", _ImageScrollBar::LargeChange, BagKind::Integer, 1, nullptr},
    {"SmallChange", _ImageScrollBar::SmallChange, BagKind::Integer, 1, nullptr},
    {"Orientation", _ImageScrollBar::Orientation, BagKind::Integer, 0, "수직(0)/수평(1)"},
    {"AutoSize", _ImageScrollBar::AutoSize, BagKind::Boolean, 0, "배경그림설정대로 크기설정"},
    {"ScrollBgPicture", _ImageScrollBar::ScrollBgPicture, BagKind::Picture, 0, "스크롤 배경그림"},
    {"TickPicture", _ImageScrollBar::TickPicture, BagKind::Picture, 0, "틱그림"},
    {"LeftArrowPicture", _ImageScrollBar::LeftArrowPicture, BagKind::Picture, 0, nullptr},
    {"RightArrowPicture", _ImageScrollBar::RightArrowPicture, BagKind::Picture, 0, nullptr},
    {"UpArrowPicture", _ImageScrollBar::UpArrowPicture, BagKind::Picture, 0, "감소 화살표 그림"},
    {"DownArrowPicture", _ImageScrollBar::DownArrowPicture, BagKind::Picture, 0, "증가 화살표"},
    {"ScrollEnablePicture", _ImageScrollBar::ScrollEnablePicture, BagKind::Picture, 0,
     "스크롤 비활성화시 그림"},
    {"BackColor", _ImageScrollBar::BackColor, BagKind::Colour, int32_t(0x8000000F), nullptr},
    {"TickBackColor", _ImageScrollBar::TickBackColor, BagKind::Colour, int32_t(0x8000000F),
     nullptr},
    {"TickBorderColor", _ImageScrollBar::TickBorderColor, BagKind::Colour, int32_t(0x8000000F),
     nullptr},
    {"BgPicture", _ImageScrollBar::BgPicture, BagKind::Boolean, 0, nullptr},
};

/// The property with dispatch id @p id, or nullptr when the control has none.
constexpr const PropertyInfo* FindProperty(controls::DISPID id) {
    for (const PropertyInfo& p : kProperties)
        if (p.id == id) return &p;
    return nullptr;
}

/// The default of @p p as it travels through a bag.
inline controls::Variant DefaultValue(const PropertyInfo& p) {
    switch (p.kind) {
        case BagKind::Boolean:
            return controls::BoolVariant(p.defaultValue != 0);
        case BagKind::Picture:
            return controls::PictureVariant(nullptr);
        case BagKind::Integer:
        case BagKind::Colour:
            break;
    }
    return controls::LongVariant(p.defaultValue);
}

}  // namespace Qm_ImgScrollBar

// The control's object model: construction, the twenty properties with their set rules, the
// new-instance defaults, and loading and saving through the host's property bag.

#include "ImageScrollBar.h"

#include "Qm_ImgScrollBar/ImageScrollBar.h"
#include "forms/Screen.h"

namespace Qm_ImgScrollBar {

namespace P = _ImageScrollBar;
namespace E = __ImageScrollBar;

namespace {
const char kInvalidValue[] = "속성값이 잘못되었습니다.";
constexpr int kCritical = 16;
constexpr gdi::COLORREF kButtonFace = 0x8000000F;
}  // namespace

ImageScrollBar::ImageScrollBar(QWidget* parent, controls::Site* site, controls::EventSink* sink)
    : m_site(site),
      m_sink(sink),
      m_tpp{forms::Screen::TwipsPerPixelX(), forms::Screen::TwipsPerPixelY()} {
    m_surface = new Surface(parent, this, m_tpp);
    for (auto& s : m_scratch) s = std::make_unique<Scratch>(m_surface, m_tpp);
    // Created after the arrows, the tick lies on top where they overlap and takes the press.
    for (int i = 0; i < 2; ++i) {
        m_up[i] = new Element(m_surface, this, Element::Role::Decrease, m_tpp);
        m_down[i] = new Element(m_surface, this, Element::Role::Increase, m_tpp);
    }
    m_tick = new Element(m_surface, this, Element::Role::Tick, m_tpp);
    // As designed: the vertical pair shows, the horizontal pair waits hidden.
    showArrowPair(1, false);
    for (int i = 0; i < kBuiltinCount; ++i)
        m_basic[i] = controls::MakePicture(drawBuiltin(Builtin(i)));
}

ImageScrollBar::~ImageScrollBar() {
    m_life->alive = false;
    if (!m_surface) return;
    m_surface->detach();
    for (Element* e : {m_up[0], m_up[1], m_down[0], m_down[1], m_tick}) e->detach();
    if (m_life->depth > 0) {
        // Destroyed from a handler of our own event: the press handler that raised it is still
        // running on one of these widgets.
        m_surface->hide();
        m_surface->deleteLater();
    } else {
        delete m_surface.data();
    }
}

QWidget* ImageScrollBar::Widget() {
    return m_surface;
}

// --- The dispatch interface -------------------------------------------------------------

Variant ImageScrollBar::valueOf(DISPID id) const {
    using controls::BoolVariant;
    using controls::LongVariant;
    using controls::PictureVariant;
    switch (id) {
        case P::Enabled:
            return BoolVariant(m_p.enabled);
        case P::BgPicture:
            return BoolVariant(m_p.bgPicture);
        case P::BackColor:
            return LongVariant(int32_t(m_p.backColor));
        case P::TickBackColor:
            return LongVariant(int32_t(m_p.tickBackColor));
        case P::TickBorderColor:
            return LongVariant(int32_t(m_p.tickBorderColor));
        case P::ArrowVisible:
            return BoolVariant(m_p.arrowVisible);
        case P::Min:
            return LongVariant(m_p.min);
        case P::Max:
            return LongVariant(m_p.max);
        case P::Value:
            return LongVariant(m_p.value);
        case P::LargeChange:
            return LongVariant(m_p.largeChange);
        case P::SmallChange:
            return LongVariant(m_p.smallChange);
        case P::ScrollBgPicture:
            return PictureVariant(m_p.scrollBgPicture);
        case P::TickPicture:
            return PictureVariant(m_p.tickPicture);
        case P::UpArrowPicture:
            return PictureVariant(m_p.upArrowPicture);
        case P::DownArrowPicture:
            return PictureVariant(m_p.downArrowPicture);
        case P::LeftArrowPicture:
            return PictureVariant(m_p.leftArrowPicture);
        case P::RightArrowPicture:
            return PictureVariant(m_p.rightArrowPicture);
        case P::Orientation:
            return LongVariant(m_p.orientation);
        case P::ScrollEnablePicture:
            return PictureVariant(m_p.scrollEnablePicture);
        case P::AutoSize:
            return BoolVariant(m_p.autoSize);
        default:
            return Variant();
    }
}

Status ImageScrollBar::Get(DISPID id, Variant& out) {
    return shielded([&] {
        if (!FindProperty(id)) return Status::UnknownMember;
        out = valueOf(id);
        return Status::Ok;
    });
}

Status ImageScrollBar::Put(DISPID id, const Variant& value) {
    return shielded([&] {
        if (!FindProperty(id)) return Status::UnknownMember;
        if (!m_surface) return Status::ObjectRequired;
        // A size the host gave while the surface was hidden is laid out before anything else.
        surfaceResized();
        if (gone()) return kGone;
        return putCoerced(id, value);
    });
}

Status ImageScrollBar::putCoerced(DISPID id, const Variant& value) {
    const PropertyInfo* info = FindProperty(id);
    bool b = false;
    int32_t i = 0;
    PictureRef pic;
    Status st = Status::Ok;
    switch (info->kind) {
        case BagKind::Boolean:
            st = controls::CoerceBool(value, b);
            break;
        case BagKind::Integer:
        case BagKind::Colour:
            st = controls::CoerceInt32(value, i);
            break;
        case BagKind::Picture:
            st = controls::CoercePicture(value, pic);
            break;
    }
    if (st != Status::Ok) return st;
    switch (id) {
        case P::Enabled:
            return setEnabled(b);
        case P::BgPicture:
            return setBgPicture(b);
        case P::BackColor:
            return setBackColor(gdi::COLORREF(i));
        case P::TickBackColor:
        case P::TickBorderColor:
            return setTickColor(id, gdi::COLORREF(i));
        case P::ArrowVisible:
            return setArrowVisible(b);
        case P::Min:
            return setMin(i);
        case P::Max:
            return setMax(i);
        case P::Value:
            return setValue(i);
        case P::LargeChange:
            return setLargeChange(i);
        case P::SmallChange:
            return setSmallChange(i);
        case P::ScrollBgPicture:
            return setScrollBgPicture(std::move(pic));
        case P::TickPicture:
            return setTickPicture(std::move(pic));
        case P::UpArrowPicture:
        case P::DownArrowPicture:
        case P::LeftArrowPicture:
        case P::RightArrowPicture:
            return setArrowPicture(id, std::move(pic));
        case P::Orientation:
            return setOrientation(i);
        case P::ScrollEnablePicture:
            return setScrollEnablePicture(std::move(pic));
        case P::AutoSize:
            return setAutoSize(b);
        default:
            return Status::UnknownMember;
    }
}

// --- Set rules ------------------------------------------------------------------------

Status ImageScrollBar::setEnabled(bool v) {
    m_p.enabled = v;
    const int i = arrowIndex();
    m_tick->setVisible(v);
    if (!v || m_p.arrowVisible) showArrowPair(i, v);
    if (const Status st = ApplyAutoSize(); st != Status::Ok) return st;
    PaintBackground();
    return changed(P::Enabled);
}

Status ImageScrollBar::setBgPicture(bool v) {
    m_p.bgPicture = v;
    if (v)
        setSurfacePicture(m_p.enabled ? m_p.scrollBgPicture : m_p.scrollEnablePicture);
    else
        setSurfacePicture(nullptr);
    PaintBackground();
    return changed(P::BgPicture);
}

Status ImageScrollBar::setBackColor(gdi::COLORREF c) {
    m_p.backColor = c;
    PaintBackground();
    if (const Status st = ApplyAutoSize(); st != Status::Ok) return st;
    return changed(P::BackColor);
}

Status ImageScrollBar::setTickColor(DISPID id, gdi::COLORREF c) {
    (id == P::TickBackColor ? m_p.tickBackColor : m_p.tickBorderColor) = c;
    if (const Status st = BuildTick(); st != Status::Ok) return st;
    return changed(id);
}

Status ImageScrollBar::setArrowVisible(bool v) {
    m_p.arrowVisible = v;
    showArrowPair(arrowIndex(), v);
    if (const Status st = PositionTick(); st != Status::Ok) return st;
    return changed(P::ArrowVisible);
}

Status ImageScrollBar::setMin(int32_t v) {
    if (v > m_p.max) return invalidValue();
    m_p.min = v;
    if (m_p.value < m_p.min)
        if (const Status st = setValue(m_p.min); st != Status::Ok) return st;
    if (const Status st = BuildTick(); st != Status::Ok) return st;
    return changed(P::Min);
}

Status ImageScrollBar::setMax(int32_t v) {
    // Silently kept when below Min; the tick is rebuilt and the host told all the same.
    if (v >= m_p.min) m_p.max = v;
    if (const Status st = BuildTick(); st != Status::Ok) return st;
    return changed(P::Max);
}

Status ImageScrollBar::setValue(int32_t v) {
    m_p.value = v > m_p.max ? m_p.max : v < m_p.min ? m_p.min : v;
    if (const Status st = PositionTick(); st != Status::Ok) return st;
    // Raised on every set, also when the value stayed: the host renders on Change.
    if (const Status st = raise(E::Change); st != Status::Ok) return st;
    return changed(P::Value);
}

Status ImageScrollBar::setLargeChange(int32_t v) {
    if (v <= 0) return invalidValue();
    m_p.largeChange = v;
    if (const Status st = BuildTick(); st != Status::Ok) return st;
    return changed(P::LargeChange);
}

Status ImageScrollBar::setSmallChange(int32_t v) {
    if (v <= 0) return invalidValue();
    m_p.smallChange = v;
    return changed(P::SmallChange);
}

Status ImageScrollBar::setScrollBgPicture(PictureRef p) {
    m_p.scrollBgPicture = std::move(p);
    if (m_p.enabled && m_p.bgPicture) setSurfacePicture(m_p.scrollBgPicture);
    PaintBackground();
    return changed(P::ScrollBgPicture);
}

Status ImageScrollBar::setScrollEnablePicture(PictureRef p) {
    m_p.scrollEnablePicture = std::move(p);
    if (!m_p.enabled && m_p.bgPicture) setSurfacePicture(m_p.scrollEnablePicture);
    PaintBackground();
    return changed(P::ScrollEnablePicture);
}

Status ImageScrollBar::setTickPicture(PictureRef p) {
    m_p.tickPicture = p ? std::move(p) : builtin(Builtin::Tick);
    m_tick->showPicture(m_p.tickPicture);
    if (const Status st = BuildTick(); st != Status::Ok) return st;
    return changed(P::TickPicture);
}

Status ImageScrollBar::setArrowPicture(DISPID id, PictureRef p) {
    // Whichever of the four is set, the arrow of the current orientation shows it for now; the
    // stretched rebuild that follows puts back the pictures that belong to the orientation.
    const bool across = horizontal();
    PictureRef* field = nullptr;
    Builtin fallback = Builtin::UpArrow;
    bool decrease = true;
    switch (id) {
        case P::UpArrowPicture:
            field = &m_p.upArrowPicture;
            fallback = across ? Builtin::LeftArrow : Builtin::UpArrow;
            break;
        case P::DownArrowPicture:
            field = &m_p.downArrowPicture;
            fallback = across ? Builtin::RightArrow : Builtin::DownArrow;
            decrease = false;
            break;
        case P::LeftArrowPicture:
            field = &m_p.leftArrowPicture;
            fallback = Builtin::LeftArrow;
            break;
        default:
            field = &m_p.rightArrowPicture;
            fallback = Builtin::RightArrow;
            decrease = false;
            break;
    }
    *field = p ? std::move(p) : builtin(fallback);
    (decrease ? m_up : m_down)[arrowIndex()]->showPicture(*field);
    BuildArrowPictures();
    if (const Status st = PositionTick(); st != Status::Ok) return st;
    return changed(id);
}

Status ImageScrollBar::setOrientation(int32_t v) {
    m_p.orientation = v;
    if (m_p.arrowVisible) {
        showArrowPair(1, v != 0);
        showArrowPair(0, v == 0);
        BuildArrowPictures();
    }
    PaintBackground();
    if (const Status st = ApplyAutoSize(); st != Status::Ok) return st;
    if (const Status st = BuildTick(); st != Status::Ok) return st;
    return changed(P::Orientation);
}

Status ImageScrollBar::setAutoSize(bool v) {
    m_p.autoSize = v;
    if (const Status st = ApplyAutoSize(); st != Status::Ok) return st;
    if (const Status st = BuildTick(); st != Status::Ok) return st;
    if (const Status st = PositionTick(); st != Status::Ok) return st;
    return changed(P::AutoSize);
}

void ImageScrollBar::showArrowPair(int index, bool show) {
    m_up[index]->setVisible(show);
    m_down[index]->setVisible(show);
}

void ImageScrollBar::setSurfacePicture(const PictureRef& p) {
    m_surface->setPicture(controls::HasNoBitmap(p) ? QImage() : p->image());
}

void ImageScrollBar::giveElementsTheirPictures() {
    m_up[0]->showPicture(m_p.upArrowPicture);
    m_down[0]->showPicture(m_p.downArrowPicture);
    m_up[1]->showPicture(m_p.leftArrowPicture);
    m_down[1]->showPicture(m_p.rightArrowPicture);
    m_tick->showPicture(m_p.tickPicture);
}

// --- Calls into the host ---------------------------------------------------------------

bool ImageScrollBar::gone() const {
    return !m_surface;
}

Status ImageScrollBar::raise(DISPID eventId) {
    const std::shared_ptr<Life> life = m_life;
    if (m_sink) m_sink->ControlEvent(eventId);
    // Nothing of this may be touched once the handler destroyed the control.
    if (!life->alive) return kGone;
    return gone() ? kGone : Status::Ok;
}

Status ImageScrollBar::changed(DISPID id) {
    const std::shared_ptr<Life> life = m_life;
    if (m_site) m_site->PropertyChanged(id);
    if (!life->alive) return kGone;
    return gone() ? kGone : Status::Ok;
}

Status ImageScrollBar::invalidValue() {
    const std::shared_ptr<Life> life = m_life;
    if (m_site) m_site->MsgBox(QString::fromUtf8(kInvalidValue), kCritical, QString());
    if (!life->alive) return kGone;
    // The set itself succeeds: the value is refused, not the call.
    return gone() ? kGone : Status::Ok;
}

// --- New instance, load and save -------------------------------------------------------

void ImageScrollBar::InitNew() {
    shielded([&] {
        if (!m_surface) return Status::ObjectRequired;
        Properties p;
        p.largeChange = 1;
        p.smallChange = 1;
        p.enabled = true;
        p.arrowVisible = true;
        p.min = 0;
        p.max = 2147483647;
        p.value = 0;
        // The empty picture, not Nothing.
        p.scrollBgPicture = controls::MakePicture(QImage());
        p.tickPicture = builtin(Builtin::Tick);
        p.upArrowPicture = builtin(Builtin::UpArrow);
        p.downArrowPicture = builtin(Builtin::DownArrow);
        p.leftArrowPicture = builtin(Builtin::LeftArrow);
        p.rightArrowPicture = builtin(Builtin::RightArrow);
        p.backColor = kButtonFace;
        p.bgPicture = false;
        p.tickBackColor = kButtonFace;
        p.tickBorderColor = kButtonFace;
        p.orientation = 0;
        p.scrollEnablePicture = controls::MakePicture(QImage());
        p.autoSize = false;
        m_p = std::move(p);
        m_surface->setBackColor(m_p.backColor);
        giveElementsTheirPictures();
        return Status::Ok;
    });
}

Status ImageScrollBar::assignProperty(Properties& to, DISPID id, const Variant& value) const {
    const PropertyInfo* info = FindProperty(id);
    if (info->kind == BagKind::Picture) {
        PictureRef pic;
        const Status st = controls::CoercePicture(value, pic);
        if (st != Status::Ok) return st;
        switch (id) {
            case P::ScrollBgPicture:
                to.scrollBgPicture = pic;
                break;
            case P::TickPicture:
                to.tickPicture = pic;
                break;
            case P::UpArrowPicture:
                to.upArrowPicture = pic;
                break;
            case P::DownArrowPicture:
                to.downArrowPicture = pic;
                break;
            case P::LeftArrowPicture:
                to.leftArrowPicture = pic;
                break;
            case P::RightArrowPicture:
                to.rightArrowPicture = pic;
                break;
            default:
                to.scrollEnablePicture = pic;
                break;
        }
        return Status::Ok;
    }
    if (info->kind == BagKind::Boolean) {
        bool b = false;
        const Status st = controls::CoerceBool(value, b);
        if (st != Status::Ok) return st;
        switch (id) {
            case P::Enabled:
                to.enabled = b;
                break;
            case P::ArrowVisible:
                to.arrowVisible = b;
                break;
            case P::AutoSize:
                to.autoSize = b;
                break;
            default:
                to.bgPicture = b;
                break;
        }
        return Status::Ok;
    }
    int32_t i = 0;
    const Status st = controls::CoerceInt32(value, i);
    if (st != Status::Ok) return st;
    switch (id) {
        case P::Min:
            to.min = i;
            break;
        case P::Max:
            to.max = i;
            break;
        case P::Value:
            to.value = i;
            break;
        case P::LargeChange:
            to.largeChange = i;
            break;
        case P::SmallChange:
            to.smallChange = i;
            break;
        case P::Orientation:
            to.orientation = i;
            break;
        case P::BackColor:
            to.backColor = gdi::COLORREF(i);
            break;
        case P::TickBackColor:
            to.tickBackColor = gdi::COLORREF(i);
            break;
        default:
            to.tickBorderColor = gdi::COLORREF(i);
            break;
    }
    return Status::Ok;
}

Status ImageScrollBar::Load(controls::PropertyBag& bag) {
    return shielded([&] {
        if (!m_surface) return Status::ObjectRequired;
        // Taken as saved, without the set rules; a value of the wrong kind loads nothing, so
        // the instance is never half loaded.
        Properties next;
        for (const char* name : kLoadOrder) {
            const PropertyInfo* info = nullptr;
            for (const PropertyInfo& p : kProperties)
                if (qstrcmp(p.name, name) == 0) info = &p;
            const Variant v = bag.Read(QString::fromLatin1(name), DefaultValue(*info));
            if (const Status st = assignProperty(next, info->id, v); st != Status::Ok) return st;
        }
        m_p = std::move(next);
        giveElementsTheirPictures();
        showArrowPair(1, horizontal());
        showArrowPair(0, !horizontal());
        showArrowPair(arrowIndex(), m_p.arrowVisible);
        return Status::Ok;
    });
}

Status ImageScrollBar::Save(controls::PropertyBag& bag) {
    return shielded([&] {
        for (const PropertyInfo& p : kProperties)
            bag.Write(QString::fromLatin1(p.name), valueOf(p.id), DefaultValue(p));
        return Status::Ok;
    });
}

}  // namespace Qm_ImgScrollBar

// The control's object model: construction, the twenty properties with their set rules, the
// new-instance defaults, and loading and saving through the host's property bag.

#include "ImageScrollBar.h"

#include <type_traits>
#include <utility>

#include "Qm_ImgScrollBar/ImageScrollBar.h"
#include "forms/Screen.h"

namespace Qm_ImgScrollBar {

namespace P = _ImageScrollBar;
namespace E = __ImageScrollBar;

namespace {
const char kInvalidValue[] = "속성값이 잘못되었습니다.";
constexpr int kCritical = 16;
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

// --- The property table ----------------------------------------------------------------

namespace {

// Each kind of field as it is coerced from, and handed out as, a variant.
Status coerce(const Variant& v, bool& out) {
    return controls::CoerceBool(v, out);
}
Status coerce(const Variant& v, int32_t& out) {
    return controls::CoerceInt32(v, out);
}
Status coerce(const Variant& v, gdi::COLORREF& out) {
    int32_t i = 0;
    const Status st = controls::CoerceInt32(v, i);
    if (st == Status::Ok) out = gdi::COLORREF(i);
    return st;
}
Status coerce(const Variant& v, PictureRef& out) {
    return controls::CoercePicture(v, out);
}
Variant variantOf(bool b) {
    return controls::BoolVariant(b);
}
Variant variantOf(int32_t i) {
    return controls::LongVariant(i);
}
Variant variantOf(gdi::COLORREF c) {
    return controls::LongVariant(int32_t(c));
}
Variant variantOf(const PictureRef& p) {
    return controls::PictureVariant(p);
}

// The bag kind that travels as a field of type T.
template <typename T>
constexpr BagKind kindOf() {
    if constexpr (std::is_same_v<T, bool>)
        return BagKind::Boolean;
    else if constexpr (std::is_same_v<T, int32_t>)
        return BagKind::Integer;
    else if constexpr (std::is_same_v<T, gdi::COLORREF>)
        return BagKind::Colour;
    else
        return BagKind::Picture;
}

}  // namespace

template <auto Field>
Variant ImageScrollBar::getField(const Properties& from) {
    return variantOf(from.*Field);
}

template <auto Field>
Status ImageScrollBar::loadField(Properties& to, const Variant& value) {
    return coerce(value, to.*Field);
}

template <auto Field, auto Rule>
Status ImageScrollBar::putField(DISPID id, const Variant& value) {
    using T = std::remove_cvref_t<decltype(std::declval<Properties&>().*Field)>;
    T v{};
    if (const Status st = coerce(value, v); st != Status::Ok) return st;
    // The rules shared by several properties are told which one is set.
    if constexpr (std::is_invocable_v<decltype(Rule), ImageScrollBar&, DISPID, T>)
        return (this->*Rule)(id, std::move(v));
    else
        return (this->*Rule)(std::move(v));
}

template <DISPID Id, auto Field, auto Rule>
constexpr ImageScrollBar::Property ImageScrollBar::row(int readAt,
                                                       std::optional<Builtin> newPicture) {
    using T = std::remove_cvref_t<decltype(std::declval<Properties&>().*Field)>;
    static_assert(FindProperty(Id) && FindProperty(Id)->kind == kindOf<T>(),
                  "a property's field must travel as the contract's kind");
    return {.info = FindProperty(Id),
            .readAt = readAt,
            .newPicture = newPicture,
            .get = &getField<Field>,
            .load = &loadField<Field>,
            .put = &ImageScrollBar::putField<Field, Rule>};
}

using Self = ImageScrollBar;

// The number is each property's place in the order Load reads the bag.
constexpr std::array<Self::Property, Self::kPropertyCount> Self::kTable = {
    row<P::Enabled, &Properties::enabled, &Self::setEnabled>(0),
    row<P::ArrowVisible, &Properties::arrowVisible, &Self::setArrowVisible>(1),
    row<P::Min, &Properties::min, &Self::setMin>(2),
    row<P::Max, &Properties::max, &Self::setMax>(3),
    row<P::Value, &Properties::value, &Self::setValue>(4),
    row<P::LargeChange, &Properties::largeChange, &Self::setLargeChange>(5),
    row<P::SmallChange, &Properties::smallChange, &Self::setSmallChange>(6),
    row<P::Orientation, &Properties::orientation, &Self::setOrientation>(8),
    row<P::AutoSize, &Properties::autoSize, &Self::setAutoSize>(7),
    row<P::ScrollBgPicture, &Properties::scrollBgPicture, &Self::setScrollBgPicture>(9),
    row<P::TickPicture, &Properties::tickPicture, &Self::setTickPicture>(10, Builtin::Tick),
    row<P::LeftArrowPicture, &Properties::leftArrowPicture, &Self::setArrowPicture>(
        13, Builtin::LeftArrow),
    row<P::RightArrowPicture, &Properties::rightArrowPicture, &Self::setArrowPicture>(
        14, Builtin::RightArrow),
    row<P::UpArrowPicture, &Properties::upArrowPicture, &Self::setArrowPicture>(11,
                                                                                Builtin::UpArrow),
    row<P::DownArrowPicture, &Properties::downArrowPicture, &Self::setArrowPicture>(
        12, Builtin::DownArrow),
    row<P::ScrollEnablePicture, &Properties::scrollEnablePicture, &Self::setScrollEnablePicture>(
        15),
    row<P::BackColor, &Properties::backColor, &Self::setBackColor>(16),
    row<P::TickBackColor, &Properties::tickBackColor, &Self::setTickColor>(17),
    row<P::TickBorderColor, &Properties::tickBorderColor, &Self::setTickColor>(18),
    row<P::BgPicture, &Properties::bgPicture, &Self::setBgPicture>(19),
};

constexpr std::array<const ImageScrollBar::Property*, ImageScrollBar::kPropertyCount>
ImageScrollBar::readOrder() {
    std::array<const Property*, kPropertyCount> order{};
    for (size_t i = 0; i < kPropertyCount; ++i) {
        const Property& p = kTable[i];
        // The table follows the contract, and each place in the read order is taken once.
        if (p.info != &kProperties[i]) throw "the table is out of the contract's order";
        if (p.readAt < 0 || size_t(p.readAt) >= kPropertyCount || order[p.readAt])
            throw "the read order is not one place per property";
        order[p.readAt] = &p;
    }
    return order;
}

const ImageScrollBar::Property* ImageScrollBar::property(DISPID id) {
    for (const Property& p : kTable)
        if (p.info->id == id) return &p;
    return nullptr;
}

// --- The dispatch interface -------------------------------------------------------------

Status ImageScrollBar::Get(DISPID id, Variant& out) {
    return shielded([&] {
        const Property* p = property(id);
        if (!p) return Status::UnknownMember;
        out = p->get(m_p);
        return Status::Ok;
    });
}

Status ImageScrollBar::Put(DISPID id, const Variant& value) {
    return shielded([&] {
        const Property* p = property(id);
        if (!p) return Status::UnknownMember;
        if (!m_surface) return Status::ObjectRequired;
        // A size the host gave while the surface was hidden is laid out before anything else.
        surfaceResized();
        if (gone()) return kGone;
        return (this->*p->put)(id, value);
    });
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
        // The bag defaults, but for the pictures: the built-in ones, and for the backgrounds
        // the empty picture, which is not Nothing.
        Properties next;
        for (const Property& p : kTable) {
            Variant v = DefaultValue(*p.info);
            if (p.info->kind == BagKind::Picture)
                v = controls::PictureVariant(p.newPicture ? builtin(*p.newPicture)
                                                          : controls::MakePicture(QImage()));
            if (const Status st = p.load(next, v); st != Status::Ok) return st;
        }
        m_p = std::move(next);
        m_surface->setBackColor(m_p.backColor);
        giveElementsTheirPictures();
        return Status::Ok;
    });
}

Status ImageScrollBar::Load(controls::PropertyBag& bag) {
    return shielded([&] {
        if (!m_surface) return Status::ObjectRequired;
        // Taken as saved, without the set rules; a value of the wrong kind loads nothing, so
        // the instance is never half loaded.
        static constexpr auto order = readOrder();
        Properties next;
        for (const Property* p : order) {
            const Variant v = bag.Read(QString::fromLatin1(p->info->name), DefaultValue(*p->info));
            if (const Status st = p->load(next, v); st != Status::Ok) return st;
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
        for (const Property& p : kTable)
            bag.Write(QString::fromLatin1(p.info->name), p.get(m_p), DefaultValue(*p.info));
        return Status::Ok;
    });
}

}  // namespace Qm_ImgScrollBar

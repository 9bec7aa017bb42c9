#pragma once
// ImageScrollBar: a scroll bar drawn entirely from pictures. Its properties and persistence
// (ImageScrollBar.cpp), layout and drawing (ImageScrollBar_Layout.cpp) and mouse handling
// (ImageScrollBar_Mouse.cpp). Lengths are twips throughout; pixels appear only where the
// platform draws or places a widget.

#include <QPointer>
#include <QSize>
#include <array>
#include <memory>
#include <new>
#include <optional>

#include "BuiltinPictures.h"
#include "Elements.h"
#include "Qm_ImgScrollBar/ImageScrollBar.h"
#include "controls/Control.h"
#include "graphics/Gdi.h"

namespace Qm_ImgScrollBar {

using controls::DISPID;
using controls::PictureRef;
using controls::Status;
using controls::Variant;

class ImageScrollBar : public controls::Control {
public:
    // The surface becomes a child of parent; site and sink may be null (no boxes, no events).
    ImageScrollBar(QWidget* parent, controls::Site* site, controls::EventSink* sink);
    ~ImageScrollBar() override;
    ImageScrollBar(const ImageScrollBar&) = delete;
    ImageScrollBar& operator=(const ImageScrollBar&) = delete;

    QWidget* Widget() override;
    Status Get(DISPID id, Variant& out) override;
    Status Put(DISPID id, const Variant& value) override;
    void InitNew() override;
    Status Load(controls::PropertyBag& bag) override;
    Status Save(controls::PropertyBag& bag) override;

    // Mouse entry points, called by the surface and the elements. Positions are twips relative
    // to the element pressed (the surface for the track).
    void tickDown(float x, float y);
    void tickMove(float x, float y);
    void tickUp();
    void arrowDown(int direction);
    void arrowUp();
    void trackDown(float x, float y);
    void trackUp();
    // The surface's size changed (by the host or while hidden); lays out when it did.
    void surfaceResized();

    // What the host sees, for tests: the elements, the track and the built-in pictures.
    const Element& tick() const { return *m_tick; }
    const Element& decreaseArrow(int index) const { return *m_up[index]; }
    const Element& increaseArrow(int index) const { return *m_down[index]; }
    int32_t trackLength() const { return m_trackLength; }
    const PictureRef& builtin(Builtin which) const { return m_basic[int(which)]; }

private:
    // The twenty properties, in the order the instance holds them.
    struct Properties {
        bool enabled = false;
        bool arrowVisible = false;
        int32_t min = 0;
        int32_t max = 0;
        int32_t value = 0;
        int32_t largeChange = 0;
        int32_t smallChange = 0;
        PictureRef scrollBgPicture;
        PictureRef tickPicture;
        PictureRef upArrowPicture;
        PictureRef downArrowPicture;
        PictureRef leftArrowPicture;
        PictureRef rightArrowPicture;
        int32_t orientation = 0;
        PictureRef scrollEnablePicture;
        bool autoSize = false;
        gdi::COLORREF backColor = 0;
        gdi::COLORREF tickBackColor = 0;
        gdi::COLORREF tickBorderColor = 0;
        bool bgPicture = false;
    };
    // Shared with every call in progress, so a call can tell that the host destroyed the
    // control (or its widget) from inside an event handler.
    struct Life {
        bool alive = true;
        int depth = 0;
    };
    // What an internal step returns when the control did not survive a call into the host; the
    // entry point turns it into Ok, since nothing is left to report to.
    static constexpr Status kGone = Status(-1);
    // Marks a call in progress, so a destruction from inside it defers deleting the widgets
    // that are still on the stack.
    class Entry {
    public:
        explicit Entry(std::shared_ptr<Life> life) : m_life(std::move(life)) { ++m_life->depth; }
        ~Entry() { --m_life->depth; }
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

    private:
        std::shared_ptr<Life> m_life;
    };
    // Runs one entry point: no exception leaves it, and kGone becomes Ok.
    template <typename F>
    Status shielded(F&& step) {
        try {
            Entry entry(m_life);
            const Status st = step();
            return st == kGone ? Status::Ok : st;
        } catch (const std::bad_alloc&) {
            return Status::OutOfMemory;
        } catch (...) {
            return Status::InternalError;
        }
    }

    // One property as the control handles it: the contract's entry (bag name, dispatch id,
    // kind, bag default), how it is read, loaded and set, and what a new instance holds.
    struct Property {
        const PropertyInfo* info;
        // Its place in the order Load reads the bag (Save writes in the table's order).
        int readAt;
        // The built-in picture a new instance shows; none: the empty picture. Pictures only.
        std::optional<Builtin> newPicture;
        Variant (*get)(const Properties& from);
        // Taken as saved: coerced to the property's kind, without the set rule.
        Status (*load)(Properties& to, const Variant& value);
        // Coerced to the property's kind, then through the set rule.
        Status (ImageScrollBar::*put)(DISPID id, const Variant& value);
    };
    static constexpr size_t kPropertyCount = std::size(kProperties);
    // Every property, in the contract's order.
    static const std::array<Property, kPropertyCount> kTable;
    // The row of the property with dispatch id @p id, or nullptr when the control has none.
    static const Property* property(DISPID id);
    // The rows in the order Load reads them. Evaluated at compile time, it also refuses a table
    // out of the contract's order or a read order that gives a place twice.
    static constexpr std::array<const Property*, kPropertyCount> readOrder();
    // The row of property Id held in Field and set through Rule; Field must travel as the
    // contract's kind.
    template <DISPID Id, auto Field, auto Rule>
    static constexpr Property row(int readAt, std::optional<Builtin> newPicture = {});
    template <auto Field>
    static Variant getField(const Properties& from);
    template <auto Field>
    static Status loadField(Properties& to, const Variant& value);
    template <auto Field, auto Rule>
    Status putField(DISPID id, const Variant& value);

    // Set rules (ImageScrollBar.cpp).
    Status setEnabled(bool v);
    Status setBgPicture(bool v);
    Status setBackColor(gdi::COLORREF c);
    Status setTickColor(DISPID id, gdi::COLORREF c);
    Status setArrowVisible(bool v);
    Status setMin(int32_t v);
    Status setMax(int32_t v);
    Status setValue(int32_t v);
    Status setLargeChange(int32_t v);
    Status setSmallChange(int32_t v);
    Status setScrollBgPicture(PictureRef p);
    Status setScrollEnablePicture(PictureRef p);
    Status setTickPicture(PictureRef p);
    Status setArrowPicture(DISPID id, PictureRef p);
    Status setOrientation(int32_t v);
    Status setAutoSize(bool v);
    void giveElementsTheirPictures();
    void showArrowPair(int index, bool show);
    void setSurfacePicture(const PictureRef& p);

    // Host calls that may run host code; kGone when the control did not survive them.
    Status raise(DISPID eventId);
    Status changed(DISPID id);
    Status invalidValue();
    bool gone() const;

    // Layout and drawing (ImageScrollBar_Layout.cpp).
    Status Resize();
    Status ApplyAutoSize();
    void ComputeTrackLength();
    void PaintBackground();
    void BuildArrowPictures();
    Status BuildTick();
    Status PositionTick();
    void stretchArrow(const PictureRef& picture, double thicknessTwips, bool horizontal);
    void drawTick(int32_t length, double thickness, bool horizontal);
    void setControlSize(double widthTwips, double heightTwips);
    double W() const;
    double H() const;

    // Mouse (ImageScrollBar_Mouse.cpp).
    Status RepeatStep(int32_t amount, int direction);
    bool horizontal() const { return m_p.orientation != 0; }
    // The arrow pair in use: 1 for any nonzero Orientation, so no value names a missing pair.
    int arrowIndex() const { return horizontal() ? 1 : 0; }

    controls::Site* m_site;
    controls::EventSink* m_sink;
    TwipsPerPixel m_tpp;
    std::shared_ptr<Life> m_life = std::make_shared<Life>();

    QPointer<Surface> m_surface;
    std::array<Element*, 2> m_up{};
    std::array<Element*, 2> m_down{};
    Element* m_tick = nullptr;
    // Owned here; their picture boxes are children of the surface.
    std::array<std::unique_ptr<Scratch>, 2> m_scratch{};
    std::array<PictureRef, kBuiltinCount> m_basic;

    Properties m_p;
    int32_t m_lastWidth = 0;
    int32_t m_lastHeight = 0;
    int32_t m_trackLength = 0;
    int32_t m_grabOffsetX = 0;
    int32_t m_grabOffsetY = 0;
    int32_t m_lastDragPos = 0;
    bool m_dragged = false;
    bool m_pressed = false;
    // The surface's pixel size when it was last looked at, to catch resizes of a hidden surface.
    QSize m_seenSize;
};

}  // namespace Qm_ImgScrollBar

// Layout and drawing: the background stretched over the surface, the arrows stretched across
// the bar at its ends, the drawn tick and its place for Value, and the auto-size layout in which
// every picture shows at its own size.

#include <cmath>

#include "ImageScrollBar.h"
#include "ScrollMath.h"

namespace Qm_ImgScrollBar {

using math::roundWhole;
using math::toPixels;

namespace {
constexpr gdi::COLORREF kBlack = 0x000000;
constexpr gdi::COLORREF kWhite = 0xFFFFFF;
// The grip: ridges across the tick, measured from the grip start; each ridge is a black line
// followed by a white one.
constexpr double kGripOffset = 60;
constexpr double kRidgeOffsets[] = {0, 15, 60, 75};
constexpr double kGripInsetStart = 60;
constexpr double kGripInsetEnd = 105;
// The border box runs from 15 to (size - 30) on both axes.
constexpr double kBorderInset = 15;
constexpr double kBorderFarInset = 30;
}  // namespace

double ImageScrollBar::W() const {
    return m_surface->width() * m_tpp.x;
}

double ImageScrollBar::H() const {
    return m_surface->height() * m_tpp.y;
}

void ImageScrollBar::setControlSize(double widthTwips, double heightTwips) {
    const QSize px(toPixels(widthTwips, m_tpp.x), toPixels(heightTwips, m_tpp.y));
    // Noted first, so the resize this causes is not taken for the host's.
    m_seenSize = px;
    m_surface->resize(px);
}

void ImageScrollBar::surfaceResized() {
    shielded([&] {
        if (!m_surface || m_surface->size() == m_seenSize) return Status::Ok;
        m_seenSize = m_surface->size();
        // A layout that fails (a range beyond 32 bits) leaves the bar as it was; the next
        // property set reports the overflow to its caller.
        return Resize();
    });
}

Status ImageScrollBar::Resize() {
    const double w = W(), h = H();
    if (w == m_lastWidth && h == m_lastHeight) return Status::Ok;
    m_lastWidth = roundWhole(w);
    m_lastHeight = roundWhole(h);
    if (const Status st = ApplyAutoSize(); st != Status::Ok) return st;
    if (const Status st = PositionTick(); st != Status::Ok) return st;
    ComputeTrackLength();
    if (m_p.autoSize) return Status::Ok;
    PaintBackground();
    BuildArrowPictures();
    return BuildTick();
}

void ImageScrollBar::ComputeTrackLength() {
    // Both arrows count, shown or not.
    if (horizontal())
        m_trackLength = math::trackLength(W(), m_down[1]->width() + m_up[1]->width(), m_p.enabled);
    else
        m_trackLength =
            math::trackLength(H(), m_down[0]->height() + m_up[0]->height(), m_p.enabled);
}

void ImageScrollBar::PaintBackground() {
    if (m_p.autoSize) return;
    Surface& s = *m_surface;
    s.setAutoRedraw(true);
    s.Cls();
    s.clearPicture();
    s.setBackColor(m_p.backColor);
    Scratch& pic = *m_scratch[0];
    pic.setPicture(m_p.enabled ? m_p.scrollBgPicture : m_p.scrollEnablePicture);
    m_tick->setVisible(m_p.enabled);
    if (!m_p.enabled || m_p.arrowVisible) showArrowPair(arrowIndex(), m_p.enabled);
    if (m_p.bgPicture) {
        pic.setAutoRedraw(true);
        pic.setAutoSize(true);
        if (pic.holdsPicture()) {
            gdi::SetStretchBltMode(s.hDC(), gdi::HALFTONE);
            gdi::StretchBlt(s.hDC(), 0, 0, s.width(), s.height(), pic.hDC(), 0, 0, pic.pixelWidth(),
                            pic.pixelHeight(), gdi::SRCCOPY);
            s.Refresh();
        }
        pic.setAutoSize(false);
        pic.setAutoRedraw(false);
    } else {
        s.setBackColor(m_p.backColor);
    }
    // What was drawn stays as the surface's persistent image.
    s.setAutoRedraw(false);
}

void ImageScrollBar::stretchArrow(const PictureRef& picture, double thickness, bool across) {
    Scratch& from = *m_scratch[0];
    Scratch& to = *m_scratch[1];
    from.setPicture(picture);
    // An arrow without a bitmap (Nothing from a saved state) takes no room along the bar.
    const bool none = !from.holdsPicture();
    if (across)
        to.resize(none ? 0 : from.width(), thickness);
    else
        to.resize(thickness, none ? 0 : from.height());
    if (none) return;
    gdi::SetStretchBltMode(to.hDC(), gdi::HALFTONE);
    gdi::StretchBlt(to.hDC(), 0, 0, to.pixelWidth(), to.pixelHeight(), from.hDC(), 0, 0,
                    from.pixelWidth(), from.pixelHeight(), gdi::SRCCOPY);
}

void ImageScrollBar::BuildArrowPictures() {
    if (m_p.autoSize) return;
    const double w = roundWhole(W()), h = roundWhole(H());
    Scratch& from = *m_scratch[0];
    Scratch& to = *m_scratch[1];
    from.setAutoSize(true);
    from.setAutoRedraw(true);
    to.setAutoRedraw(true);
    from.setPicture(nullptr);
    to.setPicture(nullptr);
    if (horizontal()) {
        stretchArrow(m_p.leftArrowPicture, h, true);
        m_up[1]->moveTo(0, 0);
        m_up[1]->showDrawn(to.image(), to.width(), to.height());
        stretchArrow(m_p.rightArrowPicture, h, true);
        m_down[1]->showDrawn(to.image(), to.width(), to.height());
        m_down[1]->moveTo(w - m_down[1]->width(), 0);
    } else {
        stretchArrow(m_p.upArrowPicture, w, false);
        m_up[0]->moveTo(0, 0);
        m_up[0]->showDrawn(to.image(), to.width(), to.height());
        stretchArrow(m_p.downArrowPicture, w, false);
        m_down[0]->showDrawn(to.image(), to.width(), to.height());
        m_down[0]->moveTo(0, h - m_down[0]->height());
    }
    from.setAutoSize(false);
    from.setAutoRedraw(false);
    to.setAutoRedraw(false);
}

void ImageScrollBar::drawTick(int32_t length, double thickness, bool across) {
    Scratch& box = *m_scratch[0];
    Scratch& out = *m_scratch[1];
    if (across) {
        box.resize(length, thickness);
        out.resize(length, thickness);
    } else {
        box.resize(thickness, length);
        out.resize(thickness, length);
    }
    box.setBackColor(m_p.tickBackColor);
    // The grip starts 30 twips before the middle of the tick.
    const double along = across ? out.width() : out.height();
    const double wide = across ? box.height() : box.width();
    const double g = roundWhole(std::fabs((along - kGripOffset) / 2));
    const double gripEnd = std::fabs(wide - kGripInsetEnd);
    for (size_t i = 0; i < std::size(kRidgeOffsets); ++i) {
        const double at = g + kRidgeOffsets[i];
        const gdi::COLORREF c = i % 2 == 0 ? kBlack : kWhite;
        if (across)
            box.line(at, kGripInsetStart, at, gripEnd, c);
        else
            box.line(kGripInsetStart, at, gripEnd, at, c);
    }
    const double n = kBorderInset;
    const double fx = std::fabs(box.width() - kBorderFarInset);
    const double fy = std::fabs(box.height() - kBorderFarInset);
    const gdi::COLORREF border = m_p.tickBorderColor;
    box.line(n, n, fx, n, border);
    box.line(n, n, n, fy, border);
    box.line(fx, n, fx, fy, border);
    box.line(n, fy, fx, fy, border);
    gdi::BitBlt(out.hDC(), 0, 0, out.pixelWidth(), out.pixelHeight(), box.hDC(), 0, 0,
                gdi::SRCCOPY);
    m_tick->showDrawn(out.image(), out.width(), out.height());
}

Status ImageScrollBar::BuildTick() {
    if (m_p.autoSize) return Status::Ok;
    const double w = roundWhole(W()), h = roundWhole(H());
    Scratch& box = *m_scratch[0];
    Scratch& out = *m_scratch[1];
    box.setAutoSize(true);
    box.setAutoRedraw(true);
    out.setAutoRedraw(true);
    box.Cls();
    out.Cls();
    box.setPicture(nullptr);
    out.setPicture(nullptr);
    auto switchesOff = [&] {
        box.setAutoSize(false);
        box.setAutoRedraw(false);
        out.setAutoRedraw(false);
    };
    ComputeTrackLength();
    int32_t length = 0;
    Status st = math::tickLength(m_trackLength, m_p.min, m_p.max, m_p.largeChange, length);
    if (st == Status::Ok) {
        drawTick(length, horizontal() ? h : w, horizontal());
        st = PositionTick();
    }
    switchesOff();
    return st;
}

Status ImageScrollBar::PositionTick() {
    const Element& up = *m_up[arrowIndex()];
    const Element& down = *m_down[arrowIndex()];
    const math::Travel travel =
        horizontal() ? math::placeTravel(m_p.arrowVisible, {up.left(), up.width()},
                                         {down.left(), down.width()}, m_tick->width(), W())
                     : math::placeTravel(m_p.arrowVisible, {up.top(), up.height()},
                                         {down.top(), down.height()}, m_tick->height(), H());
    std::optional<float> p;
    if (const Status st = math::tickPosition(m_p.value, m_p.min, m_p.max, travel, p);
        st != Status::Ok)
        return st;
    if (!p) return Status::Ok;
    if (horizontal()) {
        m_tick->setTop(0);
        m_tick->setLeft(*p);
    } else {
        m_tick->setLeft(0);
        m_tick->setTop(*p);
    }
    return Status::Ok;
}

Status ImageScrollBar::ApplyAutoSize() {
    if (!m_p.autoSize) return Status::Ok;
    Scratch& pic = *m_scratch[0];
    pic.setAutoSize(true);
    pic.setAutoRedraw(true);
    pic.setPicture(nullptr);
    m_surface->setBackColor(m_p.backColor);
    const PictureRef& background = m_p.enabled ? m_p.scrollBgPicture : m_p.scrollEnablePicture;
    pic.setPicture(background);
    if (!pic.holdsPicture()) {
        // Without a background the bar keeps its length and takes the arrow's thickness (or
        // keeps its own when the arrow has no bitmap either).
        if (m_p.enabled) {
            if (horizontal()) {
                pic.setPicture(m_p.leftArrowPicture);
                m_lastWidth = roundWhole(W());
                m_lastHeight = roundWhole(pic.holdsPicture() ? pic.height() : H());
            } else {
                pic.setPicture(m_p.upArrowPicture);
                m_lastWidth = roundWhole(pic.holdsPicture() ? pic.width() : W());
                m_lastHeight = roundWhole(H());
            }
        }
        setControlSize(m_lastWidth, m_lastHeight);
    } else {
        m_lastWidth = roundWhole(pic.width());
        m_lastHeight = roundWhole(pic.height());
        setControlSize(m_lastWidth, m_lastHeight);
        setSurfacePicture(m_p.bgPicture ? background : nullptr);
    }
    auto switchesOff = [&] {
        pic.setAutoSize(false);
        pic.setAutoRedraw(false);
    };
    if (!m_p.enabled) {
        switchesOff();
        return Status::Ok;
    }
    giveElementsTheirPictures();
    if (horizontal()) {
        m_up[1]->moveTo(0, 0);
        m_down[1]->moveTo(W() - m_down[1]->width(), 0);
    } else {
        m_up[0]->moveTo(0, 0);
        m_down[0]->moveTo(0, H() - m_down[0]->height());
    }
    switchesOff();
    ComputeTrackLength();
    return PositionTick();
}

}  // namespace Qm_ImgScrollBar

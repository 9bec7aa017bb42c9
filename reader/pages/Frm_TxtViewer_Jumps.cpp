// Back from a jump. A move that is no page turn — a chapter, a find match, the bookmark, the
// first or last spread, the page bar dragged or clicked further than one spread — remembers the
// place it left; Alt+Left and the mouse's back button return there, Alt+Right and the forward
// button go on again, from the pages or anywhere else in the window. The places are text
// positions (spreadPlace), so a relayout between a jump and the way back keeps them; another
// book forgets them (ShowDocument).

#include <QKeyEvent>
#include <QMouseEvent>
#include <cstdlib>
#include <utility>

#include "window/Frm_TxtViewer.h"

// Shows spread through the page bar as a jump: remembered even when it is the next or the
// previous spread, which the bar alone would take for a page turn.
void Frm_TxtViewer::jumpTo(int32_t spread) {
    const BarMove before = std::exchange(m_barMove, BarMove::Jump);
    ImageScrollBar1.setValue(spread);
    m_barMove = before;
}

// The page bar is about to show spread `to` in place of `from` (the spread still on screen).
void Frm_TxtViewer::noteJump(int32_t from, int32_t to) {
    if (from == to || m_barMove == BarMove::Travel) return;
    // A move of the bar by one spread is a page turn (the buttons, the keys, the wheel, a click
    // in the bar's track); any other is a jump.
    if (m_barMove == BarMove::Jump || std::abs(to - from) != 2) m_jumps.push(spreadPlace());
}

void Frm_TxtViewer::goBack() {
    travel(true);
}

void Frm_TxtViewer::goForward() {
    travel(false);
}

void Frm_TxtViewer::travel(bool back) {
    // Not while a turn plays, a box or count holds the window, or the window is ending.
    if (m_pages.length == 0 || m_pages.count <= 0 || !isEnabled() || m_flags.turning || ending())
        return;
    const int64_t here = spreadPlace();
    for (;;) {
        const std::optional<int64_t> place = back ? m_jumps.back(here) : m_jumps.forward(here);
        if (!place) return;
        // A place a relayout has brought onto the spread on screen is passed over.
        const int32_t spread = spreadOfPlace(*place);
        if (spread == m_pages.current) continue;
        const BarMove before = std::exchange(m_barMove, BarMove::Travel);
        ImageScrollBar1.setValue(spread);
        m_barMove = before;
        return;
    }
}

// Alt+Left and Alt+Right, and the mouse's back and forward buttons, for any widget of the
// window: taken here, before the pages' keys (which would turn a page on Left and Right) and
// before the pages' buttons (any but the left one sets the bookmark).
bool Frm_TxtViewer::jumpEvent(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease;
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick;
    if (!key && !mouse) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;

    if (mouse) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button != Qt::BackButton && button != Qt::ForwardButton) return false;
        // A press travels (the second of a double click too); the release is spent.
        if (type != QEvent::MouseButtonRelease) travel(button == Qt::BackButton);
        return true;
    }

    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const int arrow = keyEvent->key();
    if (arrow != Qt::Key_Left && arrow != Qt::Key_Right) return false;
    if (type == QEvent::KeyPress) {
        if ((keyEvent->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier) {
            // A plain arrow is the pages' again, whatever became of an earlier release.
            m_jumpKey = 0;
            return false;
        }
        // Once per press: a held key does not travel on and on.
        m_jumpKey = arrow;
        if (!keyEvent->isAutoRepeat()) travel(arrow == Qt::Key_Left);
        return true;
    }
    // The arrow that travelled comes up, with Alt or after it: no page turns.
    if (arrow != m_jumpKey) return false;
    if (!keyEvent->isAutoRepeat()) m_jumpKey = 0;
    return true;
}

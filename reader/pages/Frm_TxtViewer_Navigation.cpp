// Moving through the book. The page bar carries the position: every way of moving sets its
// Value, and its change handler turns that into the spread on screen.

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>

#include "encodings/DocumentText.h"
#include "files/Files.h"
#include "find/FindPanels.h"
#include "forms/Image.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "pages/OncePerPress.h"
#include "pages/Pagination.h"
#include "textbox/TextBox.h"
#include "wheel/WheelSource.h"
#include "window/Frm_TxtViewer.h"

// Runs body with the window disabled, then gives the keyboard focus back.
void Frm_TxtViewer::whileDisabled(const std::function<void()>& body) {
    QWidget* focus = QApplication::focusWidget();
    setEnabled(false);
    body();
    setEnabled(true);
    if (focus && isAncestorOf(focus) && focus->isVisible()) focus->setFocus(Qt::OtherFocusReason);
}

void Frm_TxtViewer::setPageButtons(bool enabled) {
    const std::pair<forms::Image*, const char*> buttons[] = {
        {Cmdleaves, "b_bookmark"}, {CmdFirst, "b_forward"}, {CmdPrev, "b_prev"},
        {CmdNext, "b_play"},       {CmdLast, "b_back"},
    };
    for (const auto& [button, name] : buttons) {
        button->setPicture(
            skinPicture(QString::fromLatin1(name) + (enabled ? ".bmp" : "_grey.bmp")));
        button->setEnabled(enabled);
    }
}

void Frm_TxtViewer::ShowDocument(std::optional<encodings::StoredText> text) {
    if (m_book.path.isEmpty() || !files::FileExists(m_book.path)) return;
    m_pages.length = 0;
    m_pages.count = 0;
    // The matches and headings of the book going away go with it.
    m_panels->forgetBook();
    m_jumps.clear();
    m_pages.text = encodings::StoredText();
    m_flags.bookChangeSeen = false;
    // The saved bookmark belongs to this document when it names the entry chosen in the list.
    m_settings.BookmarkSet = 0;
    if (m_settings.BookmarkEntry > 0 && m_settings.BookmarkEntry == m_book.shown + 1)
        m_settings.BookmarkSet = -1;
    takeLibraryBookmark();
    m_clock.restart();
    Sh_Bar->resize(1, Sh_Bar->height());
    setWindowTitle(QStringLiteral("루모북 [") + m_book.title() + "]");
    // A large book takes a while to read: the panel says so first.
    const bool started = m_flags.started;
    if (started) showProgressPanel();
    m_pages.text =
        text ? std::move(*text) : encodings::StoredText::read(m_book.path, {}, m_book.encoding).text;
    m_pages.length = m_pages.text.sizeBound();
    m_pages.current = 1;
    RichTextBox1->setText(QString());
    RichTextBox1->setText(m_pages.text);
    showFromFirstPage();
    if (started) PicSplash->hide();  // an empty book counts no pages
    showShelf();
}

// Shows the progress panel and draws it before a step that holds the window (reading a
// book, extracting an entry); CountPages hides it.
void Frm_TxtViewer::showProgressPanel() {
    Sh_Bar->resize(1, Sh_Bar->height());
    PicSplash->show();
    PicSplash->raise();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Counts the pages of the text in the layout box and shows spread 1-2.
void Frm_TxtViewer::showFromFirstPage() {
    m_pages.current = 1;
    if (m_flags.started) CountPages();
    // A book read before opens at the spread that holds its place.
    const std::optional<library::BookRecord> opening = std::exchange(m_opening, std::nullopt);
    if (m_flags.started && opening && opening->place > 0)
        m_pages.current = spreadOfPlace(opening->place);
    m_flags.scrollArmed = false;
    ImageScrollBar1.setValue(m_pages.current);
    m_flags.scrollArmed = true;
    setPageButtons(true);
}

void Frm_TxtViewer::ImageScrollBar1_Change() {
    if (!m_flags.scrollArmed) {
        ShowSpread(m_pages.current, 0);
        return;
    }
    const int32_t next = pagination::spreadForValue(ImageScrollBar1.value(), m_pages.current);
    if (next == 0) return;
    const int32_t old = m_pages.current;
    noteTurn(old, next);
    noteJump(old, next);
    m_pages.current = next;
    const int direction = old < next ? 2 : 1;
    whileDisabled([&] { ShowSpread(m_pages.current, direction); });
}

void Frm_TxtViewer::goFirst() {
    if (m_pages.current != 1) jumpTo(1);
}

void Frm_TxtViewer::goPrevious() {
    if (m_pages.length != 0 && m_pages.current >= 3) {
        ImageScrollBar1.setValue(m_pages.current - 2);
        return;
    }
    if (m_pages.current < 3) stepFile(-1);
}

void Frm_TxtViewer::goNext() {
    if (m_pages.length != 0 && m_pages.current + 2 <= m_pages.count) {
        ImageScrollBar1.setValue(m_pages.current + 2);
        return;
    }
    if (m_pages.current + 2 > m_pages.count) stepFile(+1);
}

void Frm_TxtViewer::goLast() {
    if (m_pages.current < m_pages.count) jumpTo(m_pages.count);
}

void Frm_TxtViewer::wirePages() {
    ImageScrollBar1.onChange = [this] { ImageScrollBar1_Change(); };
    for (int side = 0; side < 2; ++side) {
        connect(PicRead[side], &forms::PictureBox::mouseDown, this,
                [this, side](int button, int, int, int) {
                    if (button != 1 || PicList->isVisible()) return;
                    side == 0 ? goPrevious() : goNext();
                });
    }
    connect(WheelMouse1, &wheel::WheelSource::wheelTurned, this, [this](int amount) {
        Tmr_Scroll->setTag(QString::number(amount));
        if (!Tmr_Scroll->enabled()) Tmr_Scroll->setEnabled(true);
    });
}

void Frm_TxtViewer::Tmr_Scroll_Timer() {
    Tmr_Scroll->setEnabled(false);
    // The wheel waits for a turn that is playing: one turn at a time.
    if (m_flags.turning) {
        Tmr_Scroll->setEnabled(true);
        return;
    }
    Tmr_Scroll->tag().toInt() >= 0 ? goPrevious() : goNext();
}

bool Frm_TxtViewer::pageKey(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::KeyRelease) return false;
    // A disabled window (a page turn playing) turns no page, and its pages are hidden, so keys
    // come to whichever of its widgets holds the keyboard. A press made then still counts: its
    // release, once the turn is over, turns the page.
    const bool disabled = !isEnabled();
    if (disabled) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != this) return false;
    } else if (watched != PicRead[0] && watched != PicRead[1]) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    int step = 0;
    switch (key->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Right:
        case Qt::Key_PageDown:
            step = 1;
            break;
        case Qt::Key_PageUp:
        case Qt::Key_Left:
        case Qt::Key_Backspace:
            step = -1;
            break;
        default:
            return false;
    }
    // A held key turns one spread: it acts on key up, once per press.
    if (press) {
        m_pageKeys.pressed(key->key(), key->isAutoRepeat(), key->timestamp());
        return false;
    }
    // Released during the turn, the press is spent without a turn.
    const bool turn = m_pageKeys.released(key->key(), key->isAutoRepeat(), key->timestamp());
    if (disabled) return false;
    if (turn) step > 0 ? goNext() : goPrevious();
    return true;
}

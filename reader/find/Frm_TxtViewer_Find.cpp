// Find in the book: the find bar over the pages (Ctrl+F, or 찾기 in the pages' context menu),
// counted a moment after typing pauses; Enter, F3 and the bar's buttons step from match to
// match, showing each one's spread with every match on it marked.

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "pages/Bookmark.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"
#include "window/UiFont.h"

namespace {

constexpr int kLeftButton = 1;

forms::Image* designButton(QWidget* parent, const char* name, QRect r, const QString& tip,
                           const QImage& picture) {
    auto* b = new forms::Image(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(r);
    b->setToolTip(tip);
    b->setPicture(picture);
    return b;
}

}  // namespace

void Frm_TxtViewer::createFindBar() {
    PicFind = new forms::PictureBox(this);
    PicFind->setObjectName(QStringLiteral("PicFind"));
    PicFind->setBackColor(gdi::RGB(239, 239, 239));
    PicFind->setGeometry(0, 0, 524, 44);
    PicFind->setPicture(designPicture(QStringLiteral("bg_find.bmp")));
    txtFind = new QLineEdit(PicFind);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setGeometry(10, 12, 152, 20);
    txtFind->setFrame(false);
    txtFind->setFont(uiFont(10));
    lblFind = new forms::Label(PicFind);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    lblFind->setGeometry(172, 15, 160, 14);
    lblFind->setFont(uiFont(9));
    lblFind->setTransparent(true);
    CmdFindPrev = designButton(PicFind, "b_find_prev", {334, 4, 61, 36},
                               QStringLiteral("이전 찾기 (Shift+Enter, Shift+F3)"),
                                designPicture(QStringLiteral("b_find_prev.bmp")));
    CmdFindNext = designButton(PicFind, "b_find_next", {395, 4, 61, 36},
                               QStringLiteral("다음 찾기 (Enter, F3)"),
                                designPicture(QStringLiteral("b_find_next.bmp")));
    CmdFindClose = designButton(PicFind, "b_find_close", {456, 4, 61, 36},
                                QStringLiteral("닫기 (Esc)"),
                                designPicture(QStringLiteral("b_find_close.bmp")));
    PicFind->hide();
    TmrFind = new QTimer(this);
    TmrFind->setObjectName(QStringLiteral("TmrFind"));
    TmrFind->setSingleShot(true);
    TmrFind->setInterval(kCountDelayMs);
}

void Frm_TxtViewer::wireFind() {
    mnu_find = new QAction(QStringLiteral("찾기(Ctrl+F)"), this);
    mnu_find->setObjectName(QStringLiteral("mnu_find"));
    mnu_find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnu_find->setShortcutContext(Qt::WindowShortcut);
    mnu_find->setShortcutVisibleInContextMenu(false);
    addAction(mnu_find);
    connect(mnu_find, &QAction::triggered, this, [this] { openFindBar(); });
    PageMenu->addAction(mnu_find);
    const std::pair<QKeySequence, int> repeats[] = {{QKeySequence(Qt::Key_F3), 1},
                                                    {QKeySequence(Qt::SHIFT | Qt::Key_F3), -1}};
    for (const auto& [key, direction] : repeats) {
        auto* again = new QAction(this);
        again->setShortcut(key);
        again->setShortcutContext(Qt::WindowShortcut);
        addAction(again);
        connect(again, &QAction::triggered, this, [this, d = direction] { findStep(d); });
    }
    // Typing never waits: the count comes once typing has paused.
    connect(txtFind, &QLineEdit::textChanged, this, [this] {
        m_counted = false;
        TmrFind->start();
    });
    connect(TmrFind, &QTimer::timeout, this, [this] { countMatches(); });
    const std::pair<forms::Image*, int> steps[] = {{CmdFindPrev, -1}, {CmdFindNext, 1}};
    for (const auto& step : steps) {
        forms::Image* button = step.first;
        const int direction = step.second;
        const QString name = button->objectName();
        connect(button, &forms::Image::mouseDown, this, [this, button, name](int b, int, int, int) {
            if (b == kLeftButton)
                button->setPicture(designPicture(QStringLiteral("%1_down.bmp").arg(name)));
        });
        connect(button, &forms::Image::mouseUp, this,
                [this, button, name, d = direction](int b, int, int, int) {
                    if (b != kLeftButton) return;
                    button->setPicture(designPicture(QStringLiteral("%1.bmp").arg(name)));
                    findStep(d);
                });
    }
    connect(CmdFindClose, &forms::Image::mouseDown, this, [this](int b, int, int, int) {
        if (b == kLeftButton)
            CmdFindClose->setPicture(designPicture(QStringLiteral("b_find_close_down.bmp")));
    });
    connect(CmdFindClose, &forms::Image::mouseUp, this, [this](int b, int, int, int) {
        if (b != kLeftButton) return;
        CmdFindClose->setPicture(designPicture(QStringLiteral("b_find_close.bmp")));
        closeFindBar();
    });
}

void Frm_TxtViewer::placeFindPanels() {
    // The bar lies over the frame and the pages' heads, above the first line of text.
    PicFind->move(std::max(0, (width() - PicFind->width()) / 2), Pic_TxtOut->y() + 2);
    PicChapter->move(std::max(0, (width() - PicChapter->width()) / 2),
                     std::max(Pic_TxtOut->y(), (height() - PicChapter->height()) / 2));
}

void Frm_TxtViewer::openFindBar() {
    placeFindPanels();
    const bool wasHidden = PicFind->isHidden();
    PicFind->show();
    PicFind->raise();
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
    // Marks counted before the bar was closed come back with it.
    if (wasHidden && m_counted && !m_matches.empty()) ShowSpread(CurrentPage, 0);
}

void Frm_TxtViewer::closeFindBar() {
    TmrFind->stop();
    const bool marked = !m_matches.empty();
    const bool hadFocus = PicFind->isAncestorOf(QApplication::focusWidget());
    PicFind->hide();
    if (marked) ShowSpread(CurrentPage, 0);
    if (hadFocus) PicRead[0]->setFocus(Qt::OtherFocusReason);
}

void Frm_TxtViewer::forgetFindState() {
    TmrFind->stop();
    m_bookText.reset();
    m_matches.clear();
    m_counted = false;
    m_currentMatch = -1;
    m_findNote.clear();
    m_headings.reset();
    lblFind->setCaption(QString());
    if (!PicChapter->isHidden()) closeChapterList();
    // An open bar counts again in the new book once it is shown.
    if (!PicFind->isHidden() && !txtFind->text().isEmpty()) TmrFind->start();
}

void Frm_TxtViewer::countMatches() {
    TmrFind->stop();
    const bool hadMarks = !m_matches.empty();
    m_countedText = txtFind->text();
    m_counted = true;
    m_currentMatch = -1;
    m_findNote.clear();
    m_matches.clear();
    if (DocumentLength != 0 && !m_countedText.isEmpty()) {
        // Prepared once per book; the book text is shared, not copied.
        if (!m_bookText || !m_bookText->text().isSharedWith(DocumentText))
            m_bookText = std::make_unique<textfind::BookText>(DocumentText);
        m_matches = m_bookText->findAll(m_countedText);
    }
    lblFind->setCaption(findState());
    if ((hadMarks || !m_matches.empty()) && !PicFind->isHidden()) ShowSpread(CurrentPage, 0);
}

QString Frm_TxtViewer::findState() const {
    if (!m_counted || m_countedText.isEmpty()) return QString();
    const int total = int(m_matches.size());
    if (total == 0) return QStringLiteral("찾을 수 없습니다");
    if (m_currentMatch < 0) return QStringLiteral("전체 %1개").arg(total);
    return QStringLiteral("%1 / %2").arg(m_currentMatch + 1).arg(total) + m_findNote;
}

int Frm_TxtViewer::lineOfIndex(int index) const {
    // The last line that starts at or before the index.
    int lo = 0, hi = RichTextBox1->lineCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        const int start = RichTextBox1->charIndexOfLine(mid);
        if (start >= 0 && start <= index)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

std::pair<int, int> Frm_TxtViewer::spreadIndexes() const {
    const int size = int(DocumentText.size());
    const int first = RichTextBox1->charIndexOfLine((CurrentPage - 1) * LinesPerPage);
    const int end = RichTextBox1->charIndexOfLine((CurrentPage + 1) * LinesPerPage);
    return {first < 0 ? size : first, end < 0 ? size : end};
}

int Frm_TxtViewer::nextMatch(int direction, bool* wrapped) const {
    *wrapped = false;
    const int total = int(m_matches.size());
    if (total == 0) return -1;
    const auto [first, end] = spreadIndexes();
    // From the match stepped to while it is on screen; else from the spread on screen.
    const bool onScreen = m_currentMatch >= 0 && m_currentMatch < total &&
                          m_matches[size_t(m_currentMatch)].from >= first &&
                          m_matches[size_t(m_currentMatch)].from < end;
    const int from = textfind::firstFrom(m_matches, first);
    int next = direction > 0 ? (onScreen ? m_currentMatch + 1 : from)
                             : (onScreen ? m_currentMatch - 1 : from - 1);
    if (next >= total) {
        next = 0;
        *wrapped = true;
    } else if (next < 0) {
        next = total - 1;
        *wrapped = true;
    }
    return next;
}

void Frm_TxtViewer::findStep(int direction) {
    if (!isEnabled() || DocumentLength == 0 || PageCount <= 0) return;
    if (PicFind->isHidden()) openFindBar();
    if (txtFind->text().isEmpty()) return;
    if (!m_counted || m_countedText != txtFind->text()) countMatches();
    bool wrapped = false;
    const int next = nextMatch(direction, &wrapped);
    if (next >= 0) showMatch(next, wrapped, direction);
}

void Frm_TxtViewer::showMatch(int index, bool wrapped, int direction) {
    m_currentMatch = index;
    m_findNote = !wrapped ? QString()
                 : direction > 0 ? QStringLiteral(" (처음부터 다시)")
                                 : QStringLiteral(" (끝부터 다시)");
    lblFind->setCaption(findState());
    const int line = lineOfIndex(m_matches[size_t(index)].from);
    const int32_t spread = bookmark::spreadOfLine(line, LinesPerPage);
    // The spread on screen is drawn again for its marks; another is turned to.
    if (spread == CurrentPage)
        ShowSpread(CurrentPage, 0);
    else
        ImageScrollBar1.setValue(spread);
}

bool Frm_TxtViewer::panelKey(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::KeyRelease) || !isEnabled()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && watched == txtFind) {
        if (press) findStep(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
        return true;
    }
    // The list closes on the key's release: released on a page, Enter would turn it.
    if (enter && watched == LstChapter) {
        if (!press && !key->isAutoRepeat()) showChosenChapter();
        return true;
    }
    if (!press || key->key() != Qt::Key_Escape) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || (widget->windowFlags() & Qt::Popup)) return false;
    // An open panel takes Escape; the window minimises only when none is open.
    if (!PicChapter->isHidden()) {
        closeChapterList();
        return true;
    }
    if (!PicFind->isHidden()) {
        closeFindBar();
        return true;
    }
    return false;
}

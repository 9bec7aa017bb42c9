// Find in the book: the find bar over the pages, counted a moment after typing pauses; Enter,
// F3 and the bar's buttons step from match to match, the spread of each one asked for with
// every match on it marked.

#include "find/FindBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "find/PanelHost.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/UiFont.h"

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

FindBar::FindBar(PanelHost& host, QWidget* parent) : forms::PictureBox(parent), m_host(host) {
    setObjectName(QStringLiteral("PicFind"));
    setBackColor(gdi::RGB(239, 239, 239));
    setGeometry(0, 0, 524, 44);
    setPicture(m_host.designPicture(QStringLiteral("bg_find.bmp")));
    createControls();
    hide();
    wireControls();
}

FindBar::~FindBar() = default;

void FindBar::createControls() {
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setGeometry(10, 12, 152, 20);
    txtFind->setFrame(false);
    txtFind->setFont(uiFont(10));
    lblFind = new forms::Label(this);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    lblFind->setGeometry(172, 15, 160, 14);
    lblFind->setFont(uiFont(9));
    lblFind->setTransparent(true);
    CmdFindPrev = designButton(this, "b_find_prev", {334, 4, 61, 36},
                               QStringLiteral("이전 찾기 (Shift+Enter, Shift+F3)"),
                               m_host.designPicture(QStringLiteral("b_find_prev.bmp")));
    CmdFindNext =
        designButton(this, "b_find_next", {395, 4, 61, 36}, QStringLiteral("다음 찾기 (Enter, F3)"),
                     m_host.designPicture(QStringLiteral("b_find_next.bmp")));
    CmdFindClose =
        designButton(this, "b_find_close", {456, 4, 61, 36}, QStringLiteral("닫기 (Esc)"),
                     m_host.designPicture(QStringLiteral("b_find_close.bmp")));
    TmrFind = new QTimer(this);
    TmrFind->setObjectName(QStringLiteral("TmrFind"));
    TmrFind->setSingleShot(true);
    TmrFind->setInterval(kCountDelayMs);
}

void FindBar::wireControls() {
    // Typing never waits: the count comes once typing has paused.
    connect(txtFind, &QLineEdit::textChanged, this, [this] {
        m_counted = false;
        TmrFind->start();
    });
    connect(TmrFind, &QTimer::timeout, this, [this] { countMatches(); });
    // Each button looks pressed while the left button is down on it and acts on its release.
    const std::pair<forms::Image*, int> buttons[] = {
        {CmdFindPrev, -1}, {CmdFindNext, 1}, {CmdFindClose, 0}};
    for (const auto& [button, direction] : buttons) {
        const QString up = button->objectName() + QStringLiteral(".bmp");
        const QString down = button->objectName() + QStringLiteral("_down.bmp");
        connect(button, &forms::Image::mouseDown, this,
                [this, b = button, down](int m, int, int, int) {
                    if (m == kLeftButton) b->setPicture(m_host.designPicture(down));
                });
        connect(button, &forms::Image::mouseUp, this,
                [this, b = button, up, d = direction](int m, int, int, int) {
                    if (m != kLeftButton) return;
                    b->setPicture(m_host.designPicture(up));
                    if (d != 0)
                        step(d);
                    else
                        close();
                });
    }
}

void FindBar::open() {
    const bool wasHidden = isHidden();
    show();
    raise();
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
    // Marks counted before the bar was closed come back with it.
    if (wasHidden && m_counted && !m_matches.empty()) emit marksChanged();
}

void FindBar::close() {
    TmrFind->stop();
    const bool marked = !m_matches.empty();
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    if (marked) emit marksChanged();
    emit closed(hadFocus);
}

void FindBar::forgetBook() {
    TmrFind->stop();
    m_matches.clear();
    m_counted = false;
    m_currentMatch = -1;
    m_findNote.clear();
    lblFind->setCaption(QString());
    // An open bar counts again in the new book once it is shown.
    if (!isHidden() && !txtFind->text().isEmpty()) TmrFind->start();
}

void FindBar::countMatches() {
    TmrFind->stop();
    const bool hadMarks = !m_matches.empty();
    m_countedText = txtFind->text();
    m_counted = true;
    m_currentMatch = -1;
    m_findNote.clear();
    m_matches.clear();
    if (m_host.hasBook() && !m_countedText.isEmpty()) {
        // The book is read through once a count, a part at a time.
        m_matches = textfind::findAll(m_host.bookText(), m_countedText);
    }
    lblFind->setCaption(state());
    if ((hadMarks || !m_matches.empty()) && !isHidden()) emit marksChanged();
}

QString FindBar::state() const {
    if (!m_counted || m_countedText.isEmpty()) return QString();
    const int total = int(m_matches.size());
    if (total == 0) return QStringLiteral("찾을 수 없습니다");
    if (m_currentMatch < 0) return QStringLiteral("전체 %1개").arg(total);
    return QStringLiteral("%1 / %2").arg(m_currentMatch + 1).arg(total) + m_findNote;
}

bool FindBar::marking() const {
    return !isHidden() && !m_matches.empty();
}

std::vector<textfind::Piece> FindBar::piecesOnLines(const std::vector<int>& lineStarts) const {
    return textfind::piecesOnLines(m_matches, m_currentMatch, lineStarts);
}

int FindBar::nextMatch(int direction, bool* wrapped) const {
    *wrapped = false;
    const int total = int(m_matches.size());
    if (total == 0) return -1;
    const auto [first, end] = m_host.spreadIndexes();
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

bool FindBar::canStep() const {
    return isEnabled() && m_host.hasBook() && m_host.pageCount() > 0;
}

void FindBar::step(int direction) {
    if (!canStep()) return;
    if (isHidden()) open();
    if (txtFind->text().isEmpty()) return;
    if (!m_counted || m_countedText != txtFind->text()) countMatches();
    bool wrapped = false;
    const int next = nextMatch(direction, &wrapped);
    if (next >= 0) showMatch(next, wrapped, direction);
}

void FindBar::showMatch(int index, bool wrapped, int direction) {
    m_currentMatch = index;
    m_findNote = !wrapped        ? QString()
                 : direction > 0 ? QStringLiteral(" (처음부터 다시)")
                                 : QStringLiteral(" (끝부터 다시)");
    lblFind->setCaption(state());
    emit spreadWanted(m_host.spreadOfIndex(m_matches[size_t(index)].from));
}

bool FindBar::enterKey(QObject* watched, QEvent* event) {
    if (watched != txtFind) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (event->type() == QEvent::KeyPress) step(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
    return true;
}

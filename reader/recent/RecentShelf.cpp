// The empty spread's shelf: the books read last as lines of text on the left page, in the
// page's own face and ink, so the reader who has no book open sees where to go on from.

#include "recent/RecentShelf.h"

#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "forms/PictureBox.h"
#include "recent/RecentBooks.h"
#include "recent/RecentHost.h"

namespace {

// The page's margins, as a printed page leaves them; the heads of the page lie above.
constexpr int kSide = 36;
constexpr int kTop = 64;
constexpr int kBottom = 40;

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

}  // namespace

RecentShelf::RecentShelf(RecentHost& host, QWidget* page) : QWidget(page), m_host(host) {
    setObjectName(QStringLiteral("RecentShelf"));
    setMouseTracking(true);
    setGeometry(page->rect());
    hide();
    page->installEventFilter(this);
}

RecentShelf::~RecentShelf() = default;

bool RecentShelf::eventFilter(QObject* watched, QEvent* event) {
    // The page is laid out anew (a resize, another font): the lines follow it.
    if (watched == parentWidget() &&
        (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)) {
        setGeometry(parentWidget()->rect());
        layOutLines();
        update();
    }
    return false;
}

void RecentShelf::refresh() {
    library::Library* books = m_host.library();
    m_books = books ? books->recent(kShelved) : std::vector<library::BookRecord>();
    m_missing.clear();
    for (const library::BookRecord& b : m_books) m_missing.push_back(!QFileInfo::exists(b.path));
    setGeometry(parentWidget()->rect());
    layOutLines();
    update();
}

void RecentShelf::layOutLines() {
    m_lines.clear();
    m_hover = -1;
    unsetCursor();
    QFont f = font();
    f.setPointSizeF(std::clamp(f.pointSizeF() > 0 ? f.pointSizeF() : 11.0, 10.0, 14.0));
    const QFontMetrics m(f);
    const int lineHeight = m.lineSpacing() * 9 / 5;
    const int left = kSide, width = std::max(0, this->width() - 2 * kSide);
    const int bottom = height() - kBottom;
    if (m_books.empty()) {
        // No book was ever read: how to open one, in the middle of the page.
        const QString how = QStringLiteral(
            "열기 단추를 누르거나 텍스트 파일(txt)이나 압축파일(zip, rar)을 이 창에 끌어다 "
            "놓으세요.");
        const QRect need = m.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, how);
        m_lines.push_back(
            {QRect(left, std::max(kTop, (height() - need.height()) / 2), width, need.height()),
             how});
        return;
    }
    int y = kTop;
    m_lines.push_back(
        {QRect(left, y, width, lineHeight), QStringLiteral("최근 읽은 책"), -1, true});
    y += lineHeight + m.lineSpacing() / 2;
    // As many books as the page holds above the key of the whole list.
    const int room = std::max(0, (bottom - lineHeight - y) / lineHeight);
    const int shown = std::min(int(m_books.size()), room);
    for (int i = 0; i < shown; ++i, y += lineHeight)
        m_lines.push_back({QRect(left, y, width, lineHeight), recent::titleOf(m_books[size_t(i)]),
                           i, false, m_missing[size_t(i)]});
    m_lines.push_back({QRect(left, y + m.lineSpacing() / 2, width, lineHeight),
                       QStringLiteral("Ctrl+R: 최근 읽은 책"), -1, false, true});
}

QRect RecentShelf::lineOf(int index) const {
    for (const Line& l : m_lines)
        if (l.book == index) return l.box;
    return QRect();
}

QStringList RecentShelf::lines() const {
    QStringList out;
    for (const Line& l : m_lines)
        if (l.book < 0) out << l.text;
    return out;
}

int RecentShelf::bookAt(QPoint at) const {
    for (const Line& l : m_lines)
        if (l.book >= 0 && l.box.contains(at)) return l.book;
    return -1;
}

void RecentShelf::paintEvent(QPaintEvent*) {
    const auto* page = qobject_cast<const forms::PictureBox*>(parentWidget());
    const QColor ink = page ? gdi::toQColor(page->foreColor()) : QColor(Qt::black);
    const QColor paper = page ? gdi::toQColor(page->backColor()) : QColor(Qt::white);
    const QColor faint = mix(ink, paper, 0.5);
    QFont f = font();
    f.setPointSizeF(std::clamp(f.pointSizeF() > 0 ? f.pointSizeF() : 11.0, 10.0, 14.0));
    f.setBold(false);
    const QDateTime now = QDateTime::currentDateTime();
    QPainter p(this);
    for (const Line& l : m_lines) {
        QFont lf = f;
        lf.setBold(l.heading);
        lf.setUnderline(l.book >= 0 && l.book == m_hover);
        p.setFont(lf);
        p.setPen(l.faint ? faint : ink);
        if (l.book < 0) {
            p.drawText(l.box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, l.text);
            continue;
        }
        // The title, and how far in and when at the right in the faint ink.
        const library::BookRecord& b = m_books[size_t(l.book)];
        const QString detail =
            recent::shareText(b.share) + QStringLiteral(" · ") + recent::whenText(b.lastRead, now);
        QFont small = f;
        small.setPointSizeF(f.pointSizeF() * 0.85);
        const QFontMetrics sm(small);
        const int detailWidth = sm.horizontalAdvance(detail);
        const QFontMetrics lm(lf);
        const int titleWidth = std::max(0, l.box.width() - detailWidth - 16);
        p.drawText(QRect(l.box.left(), l.box.top(), titleWidth, l.box.height()),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   lm.elidedText(QStringLiteral("· ") + l.text, Qt::ElideRight, titleWidth));
        p.setFont(small);
        p.setPen(faint);
        p.drawText(l.box, Qt::AlignRight | Qt::AlignVCenter, detail);
    }
}

void RecentShelf::mouseMoveEvent(QMouseEvent* event) {
    const int at = bookAt(event->position().toPoint());
    if (at != m_hover) {
        m_hover = at;
        if (at >= 0)
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
        update();
    }
    event->ignore();
}

void RecentShelf::leaveEvent(QEvent*) {
    if (m_hover < 0) return;
    m_hover = -1;
    unsetCursor();
    update();
}

void RecentShelf::mousePressEvent(QMouseEvent* event) {
    const int at = event->button() == Qt::LeftButton ? bookAt(event->position().toPoint()) : -1;
    if (at < 0) {
        event->ignore();
        return;
    }
    event->accept();
    const library::BookRecord book = m_books[size_t(at)];
    if (!QFileInfo::exists(book.path)) {
        m_host.tell(QStringLiteral("파일을 찾을 수 없습니다\n%1").arg(book.path));
        return;
    }
    m_host.openBook(book);
}

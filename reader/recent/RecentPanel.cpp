// The books read last (최근 읽은 책): the library's books, the last read first, each with how
// far in, when, and the time left at the reader's own pace; the chosen one opens at its place.

#include "recent/RecentPanel.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/UiFont.h"
#include "recent/RecentBooks.h"
#include "recent/RecentHost.h"

namespace {

constexpr int kLeftButton = 1;
// The archive a book is in, shown after its title; and whether its file is missing.
constexpr int kArchiveRole = Qt::UserRole + 1;
constexpr int kMissingRole = Qt::UserRole + 2;
const QColor kMissingInk(150, 150, 150);

enum Column { kTitle, kShare, kWhen, kLeft, kColumns };

// The title, and after it in grey the archive it is in; each cut short with ".." to fit, the
// archive first.
class TitleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Rows a little apart, as in a list read down by eye (every row as tall as the first).
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 6);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString archive = index.data(kArchiveRole).toString();
        if (archive.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QString title = o.text;
        o.text.clear();
        const QWidget* widget = o.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &o, painter, widget);
        const QRect r =
            style->subElementRect(QStyle::SE_ItemViewItemText, &o, widget).adjusted(3, 0, -3, 0);
        const QFontMetrics m(o.font);
        const QString gap = QStringLiteral("  ");
        const int archiveWidth = m.horizontalAdvance(archive) + m.horizontalAdvance(gap);
        // The title whole when it fits (a little slack for the shaping of mixed scripts).
        const int titleAdvance = m.horizontalAdvance(title) + 2;
        const int titleWidth =
            std::min(titleAdvance, std::max(r.width() * 3 / 5, r.width() - archiveWidth));
        const bool selected = o.state & QStyle::State_Selected;
        const QColor ink = o.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        QColor faint = ink;
        faint.setAlphaF(selected ? 0.8f : 0.55f);
        painter->save();
        painter->setFont(o.font);
        painter->setPen(ink);
        const QRect titleBox(r.left(), r.top(), titleWidth, r.height());
        painter->drawText(
            titleBox, Qt::AlignLeft | Qt::AlignVCenter,
            titleWidth == titleAdvance ? title : m.elidedText(title, Qt::ElideRight, titleWidth));
        painter->setPen(faint);
        const QRect archiveBox(titleBox.right() + 1, r.top(), r.right() - titleBox.right(),
                               r.height());
        painter->drawText(archiveBox, Qt::AlignLeft | Qt::AlignVCenter,
                          m.elidedText(gap + archive, Qt::ElideRight, archiveBox.width()));
        painter->restore();
    }
};

}  // namespace

RecentPanel::RecentPanel(std::unique_ptr<RecentHost> host, QWidget* window)
    : forms::PictureBox(window), m_host(std::move(host)) {
    setObjectName(QStringLiteral("PicRecent"));
    setBackColor(gdi::RGB(239, 239, 239));
    setGeometry(0, 0, 440, 330);
    setPicture(m_host->designPicture(QStringLiteral("bg_recent.bmp")));
    createControls();
    hide();
    wireControls();
    window->installEventFilter(this);
}

RecentPanel::~RecentPanel() = default;

void RecentPanel::createControls() {
    LstRecent = new QTreeWidget(this);
    LstRecent->setObjectName(QStringLiteral("LstRecent"));
    LstRecent->setGeometry(5, 29, 429, 258);
    LstRecent->setFont(uiFont(10));
    LstRecent->setFrameShape(QFrame::NoFrame);
    LstRecent->setColumnCount(kColumns);
    LstRecent->setHeaderLabels({QStringLiteral("제목"), QStringLiteral("진도"),
                                QStringLiteral("읽은 날"), QStringLiteral("남은 시간")});
    LstRecent->setRootIsDecorated(false);
    LstRecent->setUniformRowHeights(true);
    LstRecent->setAllColumnsShowFocus(true);
    LstRecent->setTextElideMode(Qt::ElideRight);
    LstRecent->setItemDelegateForColumn(kTitle, new TitleDelegate(LstRecent));
    QHeaderView* header = LstRecent->header();
    header->setFont(uiFont(9));
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(kTitle, QHeaderView::Stretch);
    // The other columns as wide as the widest of what they show, whatever the rows hold.
    const QFontMetrics m(LstRecent->font());
    const std::pair<Column, const char*> widest[] = {
        {kShare, "100 %"}, {kWhen, "2000-00-00"}, {kLeft, "약 00시간 00분"}};
    for (const auto& [column, text] : widest) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, m.horizontalAdvance(QString::fromUtf8(text)) + 14);
        LstRecent->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    }
    lblRecentNone = new forms::Label(this);
    lblRecentNone->setObjectName(QStringLiteral("lblRecentNone"));
    lblRecentNone->setGeometry(5, 29, 429, 258);
    lblRecentNone->setFont(uiFont(10));
    lblRecentNone->setBackColor(gdi::RGB(255, 255, 255));
    lblRecentNone->setAlignment(Qt::AlignCenter);
    lblRecentNone->setCaption(QStringLiteral("최근 읽은 책이 없습니다"));
    lblRecentNone->hide();
    lblRecentHint = new forms::Label(this);
    lblRecentHint->setObjectName(QStringLiteral("lblRecentHint"));
    lblRecentHint->setGeometry(10, 292, 140, 36);
    lblRecentHint->setFont(uiFont(9));
    lblRecentHint->setTransparent(true);
    lblRecentHint->setForeColor(gdi::RGB(110, 110, 110));
    lblRecentHint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblRecentHint->setCaption(QStringLiteral("Delete: 목록에서 지우기"));
    CmdRecentOk = new forms::Image(this);
    CmdRecentOk->setObjectName(QStringLiteral("CmdRecentOk"));
    CmdRecentOk->setGeometry(159, 292, 61, 36);
    CmdRecentOk->setToolTip(QStringLiteral("확인"));
    CmdRecentCancel = new forms::Image(this);
    CmdRecentCancel->setObjectName(QStringLiteral("CmdRecentCancel"));
    CmdRecentCancel->setGeometry(220, 292, 61, 36);
    CmdRecentCancel->setToolTip(QStringLiteral("취소"));
}

void RecentPanel::wireControls() {
    // As the chapter list's buttons: 확인 acts on the press and looks pressed until it has
    // acted, 취소 closes.
    connect(CmdRecentOk, &forms::Image::mouseDown, this, [this](int button, int, int, int) {
        if (button != kLeftButton) return;
        CmdRecentOk->setPicture(m_host->skinPicture(QStringLiteral("b_listv_ok_down.bmp")));
        openChosen();
        CmdRecentOk->setPicture(m_host->skinPicture(QStringLiteral("b_listv_ok.bmp")));
    });
    connect(CmdRecentCancel, &forms::Image::mouseDown, this, [this](int button, int, int, int) {
        if (button == kLeftButton) close();
    });
    connect(LstRecent, &QTreeWidget::itemDoubleClicked, this, [this] { openChosen(); });
}

void RecentPanel::loadSkinPictures() {
    CmdRecentOk->setPicture(m_host->skinPicture(QStringLiteral("b_listv_ok.bmp")));
    CmdRecentCancel->setPicture(m_host->skinPicture(QStringLiteral("b_listv_cancel.bmp")));
}

void RecentPanel::place() {
    const QWidget* window = parentWidget();
    const int top = m_host->top();
    move(std::max(0, (window->width() - width()) / 2),
         std::max(top, (window->height() - height()) / 2));
}

void RecentPanel::givesWayTo(QWidget* other) {
    other->installEventFilter(this);
}

bool RecentPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize) place();
    } else if (event->type() == QEvent::Show && !isHidden()) {
        close();
    }
    return false;
}

void RecentPanel::fill() {
    LstRecent->clear();
    library::Library* books = m_host->library();
    // The pace from every book, summed by the library without reading their records.
    m_books = books ? books->recent(kListed) : std::vector<library::BookRecord>();
    const std::optional<double> pace =
        books ? recent::readingPace(books->readingTotals()) : std::nullopt;
    const QDateTime now = m_now ? m_now() : QDateTime::currentDateTime();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(m_books.size()));
    for (const library::BookRecord& book : m_books) {
        const recent::Row row = recent::rowOf(book, pace, now);
        auto* item = new QTreeWidgetItem({row.title, row.share, row.when, row.left});
        item->setData(kTitle, kArchiveRole, row.archive);
        for (int column = kShare; column < kColumns; ++column)
            item->setTextAlignment(column, Qt::AlignCenter);
        QString where = book.path;
        if (!book.entry.isEmpty()) where += QStringLiteral("\n") + book.entry;
        if (!QFileInfo::exists(book.path)) {
            item->setData(kTitle, kMissingRole, true);
            for (int column = 0; column < kColumns; ++column)
                item->setForeground(column, kMissingInk);
            where = QStringLiteral("파일을 찾을 수 없습니다\n") + where;
        }
        item->setToolTip(kTitle, where);
        items << item;
    }
    LstRecent->addTopLevelItems(items);
}

void RecentPanel::open() {
    fill();
    const bool none = m_books.empty();
    LstRecent->setVisible(!none);
    lblRecentNone->setVisible(none);
    lblRecentHint->setVisible(!none);
    CmdRecentOk->setEnabled(!none);
    if (!none) {
        LstRecent->setCurrentItem(LstRecent->topLevelItem(0));
        LstRecent->scrollToTop();
    }
    place();
    show();
    raise();
    if (none)
        setFocus(Qt::ShortcutFocusReason);
    else
        LstRecent->setFocus(Qt::ShortcutFocusReason);
}

void RecentPanel::close() {
    const bool hadFocus =
        isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == this;
    hide();
    emit closed(hadFocus);
}

int RecentPanel::chosenRow() const {
    const int row = LstRecent->indexOfTopLevelItem(LstRecent->currentItem());
    return row >= 0 && row < int(m_books.size()) ? row : -1;
}

void RecentPanel::openChosen() {
    const int row = chosenRow();
    if (row < 0) return;
    const library::BookRecord book = m_books[size_t(row)];
    // Looked for again: it may have come back since the list was filled.
    if (!QFileInfo::exists(book.path)) {
        m_host->tell(QStringLiteral("파일을 찾을 수 없습니다\n%1").arg(book.path));
        return;
    }
    close();
    m_host->openBook(book);
}

void RecentPanel::forgetChosen() {
    const int row = chosenRow();
    if (row < 0) return;
    const library::BookRecord book = m_books[size_t(row)];
    if (!m_host->ask(
            QStringLiteral("이 책을 최근 목록에서 지울까요?\n%1").arg(recent::titleOf(book))))
        return;
    if (library::Library* books = m_host->library()) books->forget(book.key);
    m_books.erase(m_books.begin() + row);
    delete LstRecent->takeTopLevelItem(row);
    if (m_books.empty()) {
        LstRecent->hide();
        lblRecentNone->show();
        lblRecentHint->hide();
        CmdRecentOk->setEnabled(false);
        setFocus(Qt::OtherFocusReason);
        return;
    }
    LstRecent->setCurrentItem(LstRecent->topLevelItem(std::min(row, int(m_books.size()) - 1)));
    LstRecent->setFocus(Qt::OtherFocusReason);
}

bool RecentPanel::key(QObject* watched, QEvent* event) {
    if (isHidden() || !window()->isEnabled()) return false;
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::KeyRelease) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == LstRecent) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Chosen on the key's release: released on a page, Enter would turn it.
            if (!press && !key->isAutoRepeat()) openChosen();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            if (press && !key->isAutoRepeat()) forgetChosen();
            return true;
        }
    }
    if (!press || key->key() != Qt::Key_Escape) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window() || (widget->windowFlags() & Qt::Popup))
        return false;
    close();
    return true;
}

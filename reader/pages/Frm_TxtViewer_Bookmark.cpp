// The one bookmark: set by clicking a line with a button other than the left one, shown as a
// marker beside its line, followed from the bookmark button (or its menu item, F9), removed by
// a click on the marker. It is a text position, so it survives every relayout.

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include "forms/Image.h"
#include "forms/PictureBox.h"
#include "pages/Bookmark.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"

namespace {
constexpr int kLeftButton = 1;
}

// The top of the line of page m_pages.current + side at y, and its position stored as the
// bookmark's; 0 (nothing stored) when no line is there.
int Frm_TxtViewer::BookmarkAtPoint(int side, int y) {
    const int page = m_pages.current + side;
    // The blank page after the end of the book holds no line to mark.
    if (page < 1 || page > m_pages.count) return 0;
    const PageSlice slice = PageText(page);
    // The rows the page was drawn in, so the marker shows on the row clicked.
    const pages::PageRows rows = m_renderer.rowsOf(side, slice, pageLook());
    const bookmark::Hit hit = bookmark::lineAt(rows.rows, m_pages.lineHeight, y);
    if (hit.top != 0) m_settings.BookmarkPosition = slice.start + hit.start + 1;
    return hit.top;
}

void Frm_TxtViewer::setBookmark(int side, int y) {
    if (m_book.path.isEmpty()) return;
    const int top = BookmarkAtPoint(side, y);
    // A click beside every line leaves the bookmark as it was: no re-armed old bookmark, no
    // marker at the top of the page.
    if (top == 0) return;
    ImgRead[0]->hide();
    ImgRead[1]->hide();
    ImgRead[side]->move(30 - ImgRead[side]->width(), top);
    ImgRead[side]->show();
    m_settings.BookmarkSet = -1;
    m_settings.BookmarkEntry = List1->count() == 0 || m_book.shown < 0 ? 0 : m_book.shown + 1;
}

void Frm_TxtViewer::removeBookmark() {
    ImgRead[0]->hide();
    ImgRead[1]->hide();
    m_settings.BookmarkSet = 0;
    m_settings.BookmarkEntry = 0;
    m_settings.BookmarkPosition = 0;
}

void Frm_TxtViewer::GoToBookmark() {
    // One byte into the marked line's first character: on that line whatever the character.
    const int line = RichTextBox1->lineFromChar(m_settings.BookmarkPosition);
    jumpTo(bookmark::spreadOfLine(line, m_pages.linesPerPage));
}

void Frm_TxtViewer::Cmdleaves_Release() {
    if (m_book.path.isEmpty()) return;
    if (m_settings.BookmarkSet) {
        const int32_t entry = m_settings.BookmarkEntry;
        if (entry < 1 || entry == m_book.shown + 1) GoToBookmark();
        return;
    }
    m_dialogs.MsgBox(QStringLiteral(" 책갈피가 없습니다.\n♣ 책갈피 설정 -> 마우스오른쪽 클릭 ♣"),
                     dlg::vbInformation, QStringLiteral("루모북"));
}

void Frm_TxtViewer::mnu_bookmark_Click() {
    // As the button would be pressed and released: its pressed picture shows a moment first.
    if (!Cmdleaves->isEnabled()) return;
    Cmdleaves->setPicture(skinPicture(QStringLiteral("b_bookmark_down.bmp")));
    QTimer::singleShot(120, this, [this] {
        Cmdleaves->setPicture(skinPicture(QStringLiteral("b_bookmark.bmp")));
        Cmdleaves_Release();
    });
}

void Frm_TxtViewer::wireBookmark() {
    for (int side = 0; side < 2; ++side) {
        connect(PicRead[side], &forms::PictureBox::mouseDown, this,
                [this, side](int button, int, int, int y) {
                    if (button != kLeftButton) setBookmark(side, y);
                });
        // The marker lies on its line: the left button removes the bookmark, any other sets
        // it on that line as beside the marker.
        connect(ImgRead[side], &forms::Image::mouseDown, this,
                [this, side](int button, int, int, int y) {
                    if (button != kLeftButton) setBookmark(side, ImgRead[side]->y() + y);
                });
        connect(ImgRead[side], &forms::Image::leftClicked, this, [this] { removeBookmark(); });
    }
    // The menu item lives in the pages' context menu, which the keyboard opens (the menu key,
    // Shift+F10): the right mouse button sets the bookmark. F9 reaches it from anywhere.
    mnu_bookmark = new QAction(QStringLiteral("책갈피(&F9)"), this);
    mnu_bookmark->setObjectName(QStringLiteral("mnu_bookmark"));
    mnu_bookmark->setShortcut(Qt::Key_F9);
    mnu_bookmark->setShortcutContext(Qt::WindowShortcut);
    // Its caption names the key already.
    mnu_bookmark->setShortcutVisibleInContextMenu(false);
    addAction(mnu_bookmark);
    connect(mnu_bookmark, &QAction::triggered, this, [this] { mnu_bookmark_Click(); });
    PageMenu = new QMenu(this);
    PageMenu->setObjectName(QStringLiteral("PageMenu"));
    PageMenu->addAction(mnu_bookmark);
}

bool Frm_TxtViewer::pageMenu(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ContextMenu) return false;
    if (watched != PicRead[0] && watched != PicRead[1]) return false;
    auto* menu = static_cast<QContextMenuEvent*>(event);
    if (menu->reason() == QContextMenuEvent::Mouse) return true;
    // At the pointer when it is over the page, else near the page's first line.
    auto* page = static_cast<QWidget*>(watched);
    QPoint at = page->mapFromGlobal(QCursor::pos());
    if (!page->rect().contains(at)) at = QPoint(40, 60);
    PageMenu->popup(page->mapToGlobal(at));
    return true;
}

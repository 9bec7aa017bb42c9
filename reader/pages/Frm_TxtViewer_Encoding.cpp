// The encoding the book is read in: the pages' context menu lists every one (인코딩), the one in
// force ticked. Choosing another reads the book on screen again in it, at the same share of the
// book, and the library remembers it for the book from then on. A book whose file changed under
// the reader (rewritten, cut short, replaced) is offered to be read again the same way.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>
#include <algorithm>

#include "encodings/AnsiUnits.h"
#include "encodings/DocumentText.h"
#include "forms/PictureBox.h"
#include "pages/Pagination.h"
#include "window/Frm_TxtViewer.h"

namespace {

const QString kMenuName = QStringLiteral("mnuEncoding");

}  // namespace

void Frm_TxtViewer::wireEncoding() {
    PageMenu->addSeparator();
    QMenu* menu = PageMenu->addMenu(QStringLiteral("인코딩"));
    menu->setObjectName(kMenuName);
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (size_t i = 0; i < encodings::kEncodings.size(); ++i) {
        const encodings::Encoding encoding = encodings::kEncodings[i];
        QAction* action = menu->addAction(encodings::encodingCaption(encoding));
        action->setObjectName(kMenuName + QLatin1Char('_') + QString::number(i));
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, encoding] { readAgainIn(encoding); });
    }
    // The menu is shown as the book on screen is read whenever it opens.
    connect(PageMenu, &QMenu::aboutToShow, this, [this] { showEncodingMenu(); });
    showEncodingMenu();
}

void Frm_TxtViewer::showEncodingMenu() {
    QMenu* menu = PageMenu->findChild<QMenu*>(kMenuName);
    if (!menu) return;
    menu->setEnabled(m_book.open());
    const QList<QAction*> actions = menu->actions();
    for (size_t i = 0; i < encodings::kEncodings.size() && i < size_t(actions.size()); ++i)
        actions[qsizetype(i)]->setChecked(encodings::kEncodings[i] == m_book.encoding);
}

void Frm_TxtViewer::readAgainIn(encodings::Encoding encoding) {
    // Mid-operation (a count, an extraction, a box, a turn) or once the session is to end the
    // book is left alone; so is the encoding already in force. Either way the ticks show what
    // is read.
    if (!stateSettled() || ending() || !m_book.open() || encoding == m_book.encoding) {
        showEncodingMenu();
        return;
    }
    readBookAgain(encoding);
}

bool Frm_TxtViewer::noticeBookChanged() {
    if (m_flags.bookChangeSeen || !m_pages.hasBook() || !m_pages.text.changed()) return false;
    // Asked once the handler that drew has ended; what is on screen stays till then.
    m_flags.bookChangeSeen = true;
    QTimer::singleShot(0, this, [this] { offerReadingAgain(); });
    return true;
}

void Frm_TxtViewer::offerReadingAgain() {
    if (ending() || !m_book.open() || !m_pages.text.changed()) return;
    // Not in the middle of a turn, a count or another box: asked when it is over.
    if (!stateSettled() || !isEnabled()) {
        QTimer::singleShot(100, this, [this] { offerReadingAgain(); });
        return;
    }
    const int answer = m_dialogs.MsgBox(QStringLiteral("책 파일이 바뀌었습니다. 다시 읽을까요?"),
                                        dlg::vbYesNo | dlg::vbQuestion, QStringLiteral("루모북"));
    if (answer == dlg::vbYes && !ending()) readBookAgain(m_book.encoding);
}

// The book on screen read again in `encoding` from its file (or the entry's copy), shown at the
// same share of the book; nothing changes when it cannot be read.
void Frm_TxtViewer::readBookAgain(encodings::Encoding encoding) {
    // The copy read: the file itself, or the entry extracted to TmpZip (read as it lies there),
    // named by its archive when it fails.
    const QString name = m_book.inArchive()
                             ? m_book.archivePath + QStringLiteral(" : ") + m_book.title()
                             : m_book.path;
    encodings::StoredText::Read read;
    if (!readBook(m_book.path, encoding, true, name, &read)) {
        showEncodingMenu();
        return;
    }
    // The share of the book before the spread on screen, as a relayout keeps it; the bookmark
    // as it is, but for the book's own when the new text ends before it.
    const double before = m_pages.count > 0 ? double(m_pages.current - 1) / m_pages.count : 0;
    const auto bookmarkSet = m_settings.BookmarkSet;
    const auto bookmarkEntry = m_settings.BookmarkEntry;
    const auto bookmarkPosition = m_settings.BookmarkPosition;
    const int64_t length = read.text.length();
    // The position is one byte into the marked line's first character.
    const bool dropBookmark = bookmarkSet != 0 && int64_t(bookmarkPosition) > length;
    const ReaderState old = snapshot();
    const int32_t page = m_pages.current;
    try {
        m_book.encoding = encoding;
        m_opening.reset();
        ShowDocument(std::move(read.text));
        m_settings.BookmarkSet = dropBookmark ? 0 : bookmarkSet;
        m_settings.BookmarkPosition = dropBookmark ? 0 : bookmarkPosition;
        m_settings.BookmarkEntry = dropBookmark ? 0 : bookmarkEntry;
        if (m_pages.count > 0) m_pages.current = pagination::spreadAtShare(before, m_pages.count);
        // The bar reports the set, unarmed: the spread is shown without a turn.
        m_flags.scrollArmed = false;
        ImageScrollBar1.setValue(m_pages.current);
        m_flags.scrollArmed = true;
    } catch (...) {
        putBack(old, page);
        showEncodingMenu();
        throw;
    }
    showEncodingMenu();
    saveToLibrary();
}

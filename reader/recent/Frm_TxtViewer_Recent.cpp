// The books read last on the window: Ctrl+R (also in the pages' context menu) opens their list,
// the empty spread shows the last few, and the book chosen opens at its place, an archive's
// entry at its row of the archive list without the list popping up.

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "documents/ArchiveList.h"
#include "find/ChapterPanel.h"
#include "find/FindPanels.h"
#include "forms/PictureBox.h"
#include "recent/RecentHost.h"
#include "recent/RecentPanel.h"
#include "recent/RecentShelf.h"
#include "window/Frm_TxtViewer.h"

// The window's answers to the list and the shelf.
class WindowRecentHost final : public RecentHost {
public:
    explicit WindowRecentHost(Frm_TxtViewer& window) : w(window) {}

    library::Library* library() override { return w.library(); }
    int top() const override { return w.Pic_TxtOut->y(); }
    QImage designPicture(const QString& name) override { return w.designPicture(name); }
    QImage skinPicture(const QString& name) override { return w.skinPicture(name); }
    bool ask(const QString& question) override {
        return w.m_dialogs.MsgBox(question, dlg::vbYesNo | dlg::vbQuestion,
                                  QStringLiteral("루모북")) == dlg::vbYes;
    }
    void tell(const QString& text) override { w.saySo(text); }
    void openBook(const library::BookRecord& book) override { w.openRecentBook(book); }

private:
    Frm_TxtViewer& w;
};

void Frm_TxtViewer::createRecentPanel() {
    m_recent = new RecentPanel(std::make_unique<WindowRecentHost>(*this), this);
    // The other panels over the middle of the window take its place.
    m_recent->givesWayTo(PicList);
    m_recent->givesWayTo(&m_panels->chapters());
    m_shelf = new RecentShelf(m_recent->host(), PicRead[0]);
    auto* open = new QAction(QStringLiteral("최근 읽은 책(Ctrl+R)"), this);
    open->setObjectName(QStringLiteral("mnu_recent"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    open->setShortcutContext(Qt::WindowShortcut);
    open->setShortcutVisibleInContextMenu(false);
    addAction(open);
    PageMenu->addAction(open);
    connect(open, &QAction::triggered, this, [this] {
        if (!isEnabled() || ending()) return;
        if (PicList->isVisible()) closeListPanel();
        if (!m_panels->chapters().isHidden()) m_panels->chapters().close();
        m_recent->open();
    });
    connect(m_recent, &RecentPanel::closed, this, [this](bool hadKeyboard) {
        // A book forgotten leaves the shelf too.
        showShelf();
        if (hadKeyboard) PicRead[0]->setFocus(Qt::OtherFocusReason);
    });
}

void Frm_TxtViewer::showShelf() {
    if (!m_shelf) return;
    if (!m_flags.started || m_pages.length != 0) {
        m_shelf->hide();
        return;
    }
    m_shelf->refresh();
    m_shelf->show();
    m_shelf->raise();
}

std::optional<int32_t> Frm_TxtViewer::archiveRowOf(const QString& archive, const QString& entry) {
    const bool zip = archivelist::extensionOf(archive) == QLatin1String(".zip");
    QString problem;
    ArchiveEntries entries = zip ? m_archives.VBZip_ArchiveUpdate(archive, &problem)
                                 : m_archives.VBUnRar_ArchiveUpdate(archive, &problem);
    if (entries.empty()) {
        if (!problem.isEmpty()) saySo(problem);
        return std::nullopt;
    }
    // The rows of the archive list are its .txt names in order.
    return int32_t(archivelist::FillArchiveList(entries).indexOf(entry));
}

void Frm_TxtViewer::openRecentBook(const library::BookRecord& book) {
    if (!m_flags.started || !isEnabled() || ending()) return;
    if (!QFileInfo::exists(book.path)) {
        saySo(QStringLiteral("파일을 찾을 수 없습니다\n%1").arg(book.path));
        return;
    }
    if (book.entry.isEmpty()) {
        OpenDocument(book.path, -1);
        return;
    }
    // At its row; an entry no longer in the archive opens the archive as the open button does.
    const std::optional<int32_t> row = archiveRowOf(book.path, book.entry);
    if (!row || !OpenDocument(book.path, *row) || *row < 0) return;
    // An entry the library does not know (its archive changed since) has no bookmark of its
    // own: one left from the entry on screen before would be another book's.
    if (m_settings.BookmarkSet != 0 && !recordOf(m_book.key)) {
        removeBookmark();
        ShowSpread(m_pages.current, 0);
    }
}

// Choosing and opening documents: a plain text file, or a .txt entry of a ZIP or RAR archive,
// extracted into TmpZip. An archive is listed before anything changes, and an entry is
// extracted before it replaces the document on screen: a file that cannot be opened leaves
// the reader showing, saving and resuming what it showed, and says why.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <algorithm>
#include <optional>

#include "dialogs/Dialogs.h"
#include "documents/ArchiveList.h"
#include "documents/ClearFolder.h"
#include "documents/Cls_Rar.h"
#include "documents/cUnzip.h"
#include "encodings/DocumentText.h"
#include "files/Files.h"
#include "forms/Image.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"

QString Frm_TxtViewer::ChooseDocumentFile() {
    const QString path =
        m_dialogs.ShowOpen(QStringLiteral("Text (*.txt) 압축파일 (*.zip;*.rar)|*.zip;*.rar;*.txt|"),
                           QStringLiteral("열기"), m_book.lastFolder());
    QCoreApplication::processEvents();
    return path;
}

void Frm_TxtViewer::CmdOpen_Action() {
    const QString path = ChooseDocumentFile();
    if (!path.isEmpty()) OpenDocument(path, -1);
}

void Frm_TxtViewer::saySo(const QString& text) {
    m_dialogs.MsgBox(text, dlg::vbExclamation, QStringLiteral("루모북"));
}

bool Frm_TxtViewer::OpenDocument(const QString& path, int32_t entryIndex) {
    if (path.isEmpty()) return false;
    // The book left keeps its place, whatever becomes of this one.
    if (stateWhole()) saveToLibrary();
    const QString extension = archivelist::extensionOf(path);
    const bool zip = extension == QLatin1String(".zip"), rar = extension == QLatin1String(".rar");
    if (!zip && !rar) {
        if (!archivelist::IsTextExtension(extension)) {
            saySo(QStringLiteral("텍스트 파일(txt)이나 압축파일(zip, rar)만 열 수 있습니다.\n%1")
                      .arg(path));
            return false;
        }
        return openText(path, entryIndex);
    }
    // Only a listing that offers books replaces the document state.
    QString problem;
    ArchiveEntries entries = zip ? m_archives.VBZip_ArchiveUpdate(path, &problem)
                                            : m_archives.VBUnRar_ArchiveUpdate(path, &problem);
    if (entries.empty()) {
        if (!problem.isEmpty()) saySo(problem);
        return false;
    }
    if (archivelist::FillArchiveList(entries).isEmpty()) {
        saySo(QStringLiteral("압축파일 안에 읽을 수 있는 텍스트 파일(txt)이 없습니다.\n"
                             "(맨 위 폴더의 txt 파일만 열 수 있습니다.)\n%1")
                  .arg(path));
        return false;
    }
    const ReaderState before = snapshot();
    const int32_t page = m_pages.current;
    try {
        if (!openArchive(path, entryIndex, std::move(entries))) {
            restoreDocument(before);
            recoverShownFile();
            return false;
        }
    } catch (...) {
        putBack(before, page);
        throw;
    }
    return true;
}

// Reads path in encoding, the progress panel shown (with panel) once the read proves long;
// false, the panel taken down and the reason said (naming the book `name`), when it could not.
bool Frm_TxtViewer::readBook(const QString& path, Encoding encoding, bool panel,
                             const QString& name, encodings::StoredText::Read* read) {
    bool shown = false;
    try {
        *read = encodings::StoredText::read(
            path,
            [&] {
                if (!panel) return;
                showProgressPanel();
                shown = true;
            },
            encoding);
    } catch (...) {
        if (shown) PicSplash->hide();
        throw;
    }
    if (read->result == DocumentRead::Read) return true;
    if (shown) PicSplash->hide();
    saySo(ReadProblemText(read->result, name));
    return false;
}

// Reads a .txt book and shows it; false, with the book on screen kept, when it could not.
bool Frm_TxtViewer::openText(const QString& path, int32_t entryIndex) {
    // The book is read before anything changes: a folder, a pipe or a device named like
    // a book, a book gone since it was chosen, or one cut short while it was read leaves
    // the one on screen, and says why.
    // Known by its content, it is read in the encoding chosen for it.
    const std::optional<library::BookKey> key = library::BookKey::ofFile(path);
    std::optional<library::BookRecord> record = recordOf(key);
    const Encoding encoding = encodingOf(record);
    encodings::StoredText::Read read;
    if (!readBook(path, encoding, m_flags.started, path, &read)) return false;
    const ReaderState before = snapshot();
    const int32_t page = m_pages.current;
    try {
        if (entryIndex == -1) forgetArchive();
        m_book.shown = -1;
        CmdList->setEnabled(false);
        CmdList->setPicture(skinPicture(QStringLiteral("b_listview_grey.bmp")));
        m_book.archivePath.clear();
        setPageButtons(false);
        m_book.archiveKind = -1;
        m_book.path = path;
        m_book.key = key;
        m_book.encoding = encoding;
        m_opening = std::move(record);
        m_pages.current = 1;
        ShowDocument(std::move(read.text));
    } catch (...) {
        putBack(before, page);
        throw;
    }
    return true;
}

// Lists an archive's entries and shows entry entryIndex; false when it could not.
bool Frm_TxtViewer::openArchive(const QString& path, int32_t entryIndex,
                                ArchiveEntries entries) {
    const bool zip = archivelist::extensionOf(path) == QLatin1String(".zip");
    if (entryIndex == -1) forgetArchive();
    m_book.archivePath = path;
    m_book.archiveKind = zip ? 0 : 1;
    m_book.entries = std::move(entries);
    FillArchiveList();
    CmdList->setEnabled(true);
    CmdList->setPicture(skinPicture(QStringLiteral("b_listview.bmp")));
    setPageButtons(false);
    // An entry index beyond the list (the archive changed since it was saved) picks the first;
    // a bookmark in an entry that is gone goes with it.
    const bool savedEntryGone =
        entryIndex != -1 && (entryIndex < 0 || entryIndex >= List1->count());
    const int row = savedEntryGone || entryIndex == -1 ? 0 : entryIndex;
    if (savedEntryGone || m_settings.BookmarkEntry > List1->count()) {
        m_settings.BookmarkSet = 0;
        m_settings.BookmarkPosition = 0;
        m_settings.BookmarkEntry = 0;
    }
    if (!switchEntry(row, m_flags.started, false)) return false;
    if (entryIndex == -1 && List1->count() > 1) {
        PicList->show();
        PicList->raise();
    } else if (!zip) {
        CmdList->setEnabled(false);
        CmdList->setPicture(skinPicture(QStringLiteral("b_listview_grey.bmp")));
    }
    return true;
}

// A book failed with an exception while it was laid out: the one read before comes back
// at `page`, or no book when even that cannot be had.
void Frm_TxtViewer::putBack(const ReaderState& before, int32_t page) {
    const auto dropText = [this] {
        m_pages.text = encodings::StoredText();
        RichTextBox1->setText(QString());
        m_pages.length = 0;
        m_pages.count = 0;
        PicSplash->hide();
        setEnabled(true);
    };
    m_opening.reset();
    // What the new book holds goes first: the failure was most likely a want of memory.
    dropText();
    restoreDocument(before);
    try {
        recoverShownFile();
        ShowDocument();
        // The book's own bookmark, which showing it afresh would have taken for another's.
        restoreDocument(before);
        if (page > 1 && page <= m_pages.count) {
            m_pages.current = page;
            m_flags.scrollArmed = false;
            ImageScrollBar1.setValue(page);
            m_flags.scrollArmed = true;
            ShowSpread(page, 0);
        }
    } catch (...) {
        // Not even the old book can be shown now: no book, rather than half of one.
        dropText();
        setPageButtons(false);
        showShelf();
    }
}

void Frm_TxtViewer::FillArchiveList() {
    List1->clear();
    if (m_book.entries.empty()) return;
    List1->addItems(archivelist::FillArchiveList(m_book.entries));
}

void Frm_TxtViewer::forgetArchive() {
    List1->clear();
    m_book.shown = -1;
    m_book.entries.clear();
    m_settings.BookmarkSet = 0;
    m_settings.BookmarkPosition = 0;
    m_settings.BookmarkEntry = 0;
}

void Frm_TxtViewer::restoreDocument(const ReaderState& s) {
    m_book = s.book;
    FillArchiveList();
    List1->setCurrentRow(m_book.shown);
    // The bookmark is the book's own; the rest of the settings stay as the user left them.
    m_settings.BookmarkSet = s.settings.BookmarkSet;
    m_settings.BookmarkPosition = s.settings.BookmarkPosition;
    m_settings.BookmarkEntry = s.settings.BookmarkEntry;
    CmdList->setEnabled(s.listEnabled);
    CmdList->setPicture(skinPicture(s.listEnabled ? QStringLiteral("b_listview.bmp")
                                                  : QStringLiteral("b_listview_grey.bmp")));
    setPageButtons(m_pages.length != 0);
}

bool Frm_TxtViewer::switchEntry(int row, bool show, bool recover) {
    const ReaderState before = snapshot();
    List1->setCurrentRow(row);
    if (extractSelectedEntry(show)) return true;
    restoreDocument(before);
    if (recover) recoverShownFile();
    return false;
}

void Frm_TxtViewer::recoverShownFile() {
    // The failed extraction emptied the extract folder first: the entry on screen is put back
    // on disk, or the next start would resume a file that is no longer there.
    if (m_book.archiveKind == -1 || m_book.shown < 0 || files::FileExists(m_book.path)) return;
    List1->setCurrentRow(m_book.shown);
    const QListWidgetItem* item = List1->currentItem();
    if (!item) return;
    const auto why = m_archives.extract(m_book, item->text());
    (void)why;  // told already, when the entry itself failed
}

// Closes the list panel without choosing: the list shows the entry on screen again.
void Frm_TxtViewer::closeListPanel() {
    PicList->hide();
    // Browsing the list chose nothing: it shows the entry on screen again.
    if (m_book.shown >= 0 && m_book.shown < List1->count()) List1->setCurrentRow(m_book.shown);
}

bool Frm_TxtViewer::extractSelectedEntry(bool show) {
    const QListWidgetItem* item = List1->currentItem();
    if (!item) return false;
    const QString name = item->text();
    PicList->hide();
    if (show) showProgressPanel();
    // The entry is known by the archive's directory, and read in the encoding chosen for it.
    std::optional<library::BookKey> key = m_book.keyOf(name, QString());
    std::optional<library::BookRecord> record = recordOf(key);
    OpenBook reading = m_book;
    reading.encoding = encodingOf(record);
    const auto why = m_archives.extract(reading, name);
    if (why) {
        if (show) PicSplash->hide();
        if (!why->isEmpty()) saySo(*why);
        return false;
    }
    m_book.path = m_archives.extractFolder() + QLatin1Char('/') + name;
    m_book.shown = List1->currentRow();
    if (!key) {
        // A directory without sizes: the copy extracted is the book.
        key = m_book.keyOf(name, m_book.path);
        record = recordOf(key);
    }
    m_book.key = key;
    m_book.encoding = encodingOf(record);
    if (!show) return true;
    m_opening = std::move(record);
    // Stepped to from the end of another book, it opens as stepping always has.
    if (m_opening && m_flags.steppingFile) m_opening->place = -1;
    ShowDocument();
    return true;
}

void Frm_TxtViewer::chooseListedEntry(bool show) {
    // The entry left keeps its place.
    if (stateWhole()) saveToLibrary();
    switchEntry(List1->currentRow(), show);
}

// The previous (-1) or next (+1) file of the archive, after asking.
void Frm_TxtViewer::stepFile(int delta) {
    if (m_book.archiveKind == -1) return;
    const int j = m_book.shown + delta;
    if (j < 0 || j > List1->count() - 1) return;
    const QString question = delta < 0 ? QStringLiteral("이전 파일을 보시겠습니까?")
                                       : QStringLiteral("다음 파일을 보시겠습니까?");
    if (m_dialogs.MsgBox(question, dlg::vbYesNo, QStringLiteral("루모북")) != dlg::vbYes) return;
    saveToLibrary();
    m_flags.steppingFile = true;
    switchEntry(j, true);
    m_flags.steppingFile = false;
}

void Frm_TxtViewer::wireDocuments() {
    connect(CmdList, &forms::Image::mouseDown, this, [this](int button, int, int, int) {
        if (button != 1) return;
        if (PicList->isVisible()) {
            closeListPanel();
            return;
        }
        PicList->show();
        PicList->raise();
    });
    connect(cmdCancel, &forms::Image::mouseDown, this, [this](int button, int, int, int) {
        if (button == 1) closeListPanel();
    });
    connect(List1, &QListWidget::itemDoubleClicked, this,
            [this] { chooseListedEntry(m_flags.started); });
}

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
#include "files/Files.h"
#include "forms/Image.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "encodings/DocumentText.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"

// The folder of the book read last (of its archive, for an entry), where the next one most
// likely is; "" lets the dialog choose.
QString Frm_TxtViewer::lastFolder() const {
    const QString from = m_book.archivePath.isEmpty() ? m_book.path : m_book.archivePath.trimmed();
    const QFileInfo info(from);
    return from.isEmpty() || !info.dir().exists() ? QString() : info.absolutePath();
}

QString Frm_TxtViewer::ChooseDocumentFile() {
    const QString path =
        m_dialogs.ShowOpen(QStringLiteral("Text (*.txt) 압축파일 (*.zip;*.rar)|*.zip;*.rar;*.txt|"),
                           QStringLiteral("열기"), lastFolder());
    QCoreApplication::processEvents();
    return path;
}

void Frm_TxtViewer::CmdOpen_Action() {
    const QString path = ChooseDocumentFile();
    if (!path.isEmpty()) OpenDocument(path, -1);
}

QString Frm_TxtViewer::tmpZip() const {
    return m_places.extract;
}

void Frm_TxtViewer::createArchiveObjects() {
    zipObject = std::make_unique<cUnzip>();
    rarObject = std::make_unique<Cls_Rar>(m_dialogs);
}

void Frm_TxtViewer::releaseArchiveObjects() {
    zipObject.reset();
    rarObject.reset();
}


void Frm_TxtViewer::saySo(const QString& text) {
    m_dialogs.MsgBox(text, dlg::vbExclamation, QStringLiteral("루모북"));
}

bool Frm_TxtViewer::OpenDocument(const QString& path, int32_t entryIndex) {
    if (path.isEmpty()) return false;
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
    if (!ensureArchiveObjects()) return false;
    // Only a listing that offers books replaces the document state.
    std::vector<ArchiveEntry> entries =
        zip ? VBZip_ArchiveUpdate(path) : VBUnRar_ArchiveUpdate(path);
    if (entries.empty()) return false;
    if (archivelist::FillArchiveList(entries).isEmpty()) {
        saySo(QStringLiteral("압축파일 안에 읽을 수 있는 텍스트 파일(txt)이 없습니다.\n"
                             "(맨 위 폴더의 txt 파일만 열 수 있습니다.)\n%1")
                  .arg(path));
        return false;
    }
    const DocumentSnapshot before = snapshotDocument();
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

bool Frm_TxtViewer::openText(const QString& path, int32_t entryIndex) {
    // The book is read before anything changes: a folder, a pipe or a device named like
    // a book, a book gone since it was chosen, or one cut short while it was read leaves
    // the one on screen, and says why.
    const bool started = m_flags.started;
    bool panel = false;
    DocumentRead read;
    try {
        read = ReadDocument(path, [&] {
            if (!started) return;
            showProgressPanel();
            panel = true;
        });
    } catch (...) {
        if (panel) PicSplash->hide();
        throw;
    }
    if (read.result != DocumentRead::Read) {
        if (panel) PicSplash->hide();
        saySo(ReadProblemText(read.result, path));
        return false;
    }
    const DocumentSnapshot before = snapshotDocument();
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
        m_pages.current = 1;
        ShowDocument(std::move(read.text));
    } catch (...) {
        putBack(before, page);
        throw;
    }
    return true;
}

bool Frm_TxtViewer::openArchive(const QString& path, int32_t entryIndex,
                                std::vector<ArchiveEntry> entries) {
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
    const bool savedEntryGone = entryIndex != -1 && (entryIndex < 0 || entryIndex >= List1->count());
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

void Frm_TxtViewer::putBack(const DocumentSnapshot& before, int32_t page) {
    const auto dropText = [this] {
        m_pages.text = QString();
        RichTextBox1->setText(QString());
        m_pages.length = 0;
        m_pages.count = 0;
        PicSplash->hide();
        setEnabled(true);
    };
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
    }
}

bool Frm_TxtViewer::ensureArchiveObjects() {
    if (!zipObject || !rarObject) createArchiveObjects();
    return true;
}

std::vector<ArchiveEntry> Frm_TxtViewer::VBZip_ArchiveUpdate(const QString& path) {
    zipObject->setZipFile(path);
    zipObject->Directory();
    std::vector<ArchiveEntry> entries;
    const int32_t n = std::min(zipObject->FileCount(), int32_t(archivelist::kMaxEntries));
    for (int32_t i = 1; i <= n; ++i)
        entries.push_back({zipObject->FileName(i), zipObject->FileDirectory(i), QString()});
    if (entries.empty()) {
        const int32_t result = zipObject->lastResult();
        saySo(result == unzip::PK_OK || result == unzip::PK_FIND
                  ? QStringLiteral("압축파일이 비어 있습니다.\n%1").arg(path)
                  : QStringLiteral("압축파일을 열 수 없습니다. 손상되었거나 지원하지 않는 "
                                   "형식입니다.\n%1")
                        .arg(path));
    }
    return entries;
}

std::vector<ArchiveEntry> Frm_TxtViewer::VBUnRar_ArchiveUpdate(const QString& path) {
    rarObject->setRarFile(path);
    rarObject->Rar_Directory();
    std::vector<ArchiveEntry> entries;
    // The box of the library's error was shown already; the archive is abandoned.
    if (rarObject->failed()) return entries;
    for (int i = 1; i <= rarObject->Get_FileCount(); ++i)
        entries.push_back({rarObject->RarFileName(i), rarObject->RarFolderName(i), QString()});
    if (entries.empty()) saySo(QStringLiteral("압축파일이 비어 있습니다.\n%1").arg(path));
    return entries;
}

void Frm_TxtViewer::FillArchiveList() {
    List1->clear();
    if (!HasArchiveEntries()) return;
    List1->addItems(archivelist::FillArchiveList(m_book.entries));
}

bool Frm_TxtViewer::HasArchiveEntries() const {
    return !m_book.entries.empty();
}

void Frm_TxtViewer::forgetArchive() {
    List1->clear();
    m_book.shown = -1;
    m_book.entries.clear();
    m_settings.BookmarkSet = 0;
    m_settings.BookmarkPosition = 0;
    m_settings.BookmarkEntry = 0;
}

Frm_TxtViewer::DocumentSnapshot Frm_TxtViewer::snapshotDocument() const {
    DocumentSnapshot s;
    s.documentPath = m_book.path;
    s.archivePath = m_book.archivePath;
    s.archiveKind = m_book.archiveKind;
    s.entries = m_book.entries;
    for (int i = 0; i < List1->count(); ++i) s.items << List1->item(i)->text();
    s.shown = m_book.shown;
    s.bookmarkSet = m_settings.BookmarkSet;
    s.bookmarkPosition = m_settings.BookmarkPosition;
    s.bookmarkEntry = m_settings.BookmarkEntry;
    s.listEnabled = CmdList->isEnabled();
    return s;
}

void Frm_TxtViewer::restoreDocument(const DocumentSnapshot& s) {
    m_book.path = s.documentPath;
    m_book.archivePath = s.archivePath;
    m_book.archiveKind = s.archiveKind;
    m_book.entries = s.entries;
    List1->clear();
    List1->addItems(s.items);
    m_book.shown = s.shown;
    List1->setCurrentRow(s.shown);
    m_settings.BookmarkSet = s.bookmarkSet;
    m_settings.BookmarkPosition = s.bookmarkPosition;
    m_settings.BookmarkEntry = s.bookmarkEntry;
    CmdList->setEnabled(s.listEnabled);
    CmdList->setPicture(skinPicture(s.listEnabled ? QStringLiteral("b_listview.bmp")
                                                  : QStringLiteral("b_listview_grey.bmp")));
    setPageButtons(m_pages.length != 0);
}

bool Frm_TxtViewer::switchEntry(int row, bool show, bool recover) {
    const DocumentSnapshot before = snapshotDocument();
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
    const auto why = m_book.archiveKind != 0 ? ExtractRarEntry(item->text()) : ExtractZipEntry(item->text());
    (void)why;  // told already, when the entry itself failed
}

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
    std::optional<QString> text;  // the entry's text, when it was decoded as it was extracted
    const auto why =
        m_book.archiveKind != 0 ? ExtractRarEntry(name) : ExtractZipEntry(name, show ? &text : nullptr);
    if (why) {
        if (show) PicSplash->hide();
        if (!why->isEmpty()) saySo(*why);
        return false;
    }
    m_book.path = tmpZip() + QLatin1Char('/') + name;
    m_book.shown = List1->currentRow();
    if (show) ShowDocument(std::move(text));
    return true;
}

bool Frm_TxtViewer::prepareTmpZip() {
    if (EmptyExtractFolder(tmpZip())) return true;
    m_dialogs.MsgBox(tmpZip() + QStringLiteral(" does not exist!"), dlg::vbCritical,
                     QStringLiteral("Extract folder does not exist"));
    return false;
}

namespace {

enum class Problem { Encrypted, TooLarge, Write, Other };

Problem zipProblem(int32_t result) {
    switch (result) {
        case unzip::IZ_BADPWD:
            return Problem::Encrypted;
        case unzip::kTooLarge:
            return Problem::TooLarge;
        case unzip::PK_DISK:
            return Problem::Write;
        default:
            return Problem::Other;
    }
}

Problem rarProblem(int code) {
    switch (code) {
        case unrar::ERAR_MISSING_PASSWORD:
        case unrar::ERAR_BAD_PASSWORD:
            return Problem::Encrypted;
        case unrar::ERAR_TOO_LARGE:
            return Problem::TooLarge;
        case unrar::ERAR_ECREATE:
        case unrar::ERAR_EWRITE:
            return Problem::Write;
        default:
            return Problem::Other;
    }
}

// What the reader tells the user when an entry could not be extracted.
QString problemText(const QString& name, Problem problem) {
    switch (problem) {
        case Problem::Encrypted:
            return QStringLiteral("암호가 걸린 파일은 열 수 없습니다.\n%1").arg(name);
        case Problem::TooLarge:
            return TooLargeText(name);
        case Problem::Write:
            return QStringLiteral(
                       "임시 폴더에 압축을 풀 수 없습니다. 디스크 공간과 권한을 "
                       "확인해 주십시오.\n%1")
                .arg(name);
        case Problem::Other:
            break;
    }
    return QStringLiteral(
               "압축을 풀 수 없습니다. 압축파일이 손상되었거나 지원하지 않는 "
               "형식입니다.\n%1")
        .arg(name);
}

}  // namespace

std::optional<QString> Frm_TxtViewer::ExtractZipEntry(const QString& name,
                                                      std::optional<QString>* text) {
    if (!prepareTmpZip()) return QString();
    // The object may hold the listing of an archive that failed to open since.
    if (zipObject->ZipFile() != m_book.archivePath) {
        zipObject->setZipFile(m_book.archivePath);
        zipObject->Directory();
    }
    const int32_t n = std::min<int32_t>(zipObject->FileCount(), int32_t(m_book.entries.size()));
    int32_t size = -1;
    for (int32_t i = 1; i <= n; ++i) {
        const bool chosen = m_book.entries[size_t(i - 1)].TextName == name;
        zipObject->setFileSelected(i, chosen);
        if (chosen) size = size < 0 ? zipObject->FileSize(i) : 0;  // two of one name: neither
    }
    zipObject->setUnzipFolder(tmpZip());
    // The entry is decoded on the thread that writes it while this one inflates the rest.
    std::optional<StreamedDocument> stream;
    unzip::Content content;
    if (text && size > 0) {
        content = [&s = stream.emplace(size)](const char* data, size_t bytes) {
            data ? s.add(data, qsizetype(bytes)) : s.abandon();
        };
    }
    zipObject->Unzip(std::move(content));
    if (files::FileExists(tmpZip() + QLatin1Char('/') + name)) {
        if (stream) *text = stream->take();
        return std::nullopt;
    }
    return problemText(name, zipProblem(zipObject->lastResult()));
}

std::optional<QString> Frm_TxtViewer::ExtractRarEntry(const QString& name) {
    if (!prepareTmpZip()) return QString();
    if (rarObject->RarFile() != m_book.archivePath || rarObject->Get_FileCount() == 0) {
        rarObject->setRarFile(m_book.archivePath);
        rarObject->Rar_Directory();
    }
    const int n = int(std::min<size_t>(size_t(rarObject->Get_FileCount()), m_book.entries.size()));
    for (int i = 1; i <= n; ++i)
        rarObject->setRarSelected(i, m_book.entries[size_t(i - 1)].TextName == name);
    rarObject->UnCompressRAR(0, rarObject->RarFile(), tmpZip(), QString(), 0);
    if (files::FileExists(tmpZip() + QLatin1Char('/') + name)) return std::nullopt;
    // A library error was shown in its own box already.
    if (rarObject->failed()) return QString();
    return problemText(name, rarProblem(rarObject->lastProblem()));
}

void Frm_TxtViewer::stepFile(int delta) {
    if (m_book.archiveKind == -1) return;
    const int j = m_book.shown + delta;
    if (j < 0 || j > List1->count() - 1) return;
    const QString question = delta < 0 ? QStringLiteral("이전 파일을 보시겠습니까?")
                                       : QStringLiteral("다음 파일을 보시겠습니까?");
    if (m_dialogs.MsgBox(question, dlg::vbYesNo, QStringLiteral("루모북")) != dlg::vbYes) return;
    switchEntry(j, true);
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
            [this] { switchEntry(List1->currentRow(), m_flags.started); });
}

// Start-up and exit: the load handler, the initial skin pictures, the deferred start-up timer
// and the unload handler.

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontInfo>
#include <QLineEdit>
#include <cstdio>

#include <QCheckBox>
#include <QListWidget>
#include "documents/ClearFolder.h"
#include "encodings/DocumentText.h"
#include "files/Files.h"
#include "find/ChapterPanel.h"
#include "find/FindPanels.h"
#include "forms/Image.h"
#include "forms/PictureBox.h"
#include "forms/Screen.h"
#include "forms/Timer.h"
#include "forms/Units.h"
#include "forms/WebBrowser.h"
#include "pages/Mo_TxtPublic.h"
#include "recent/RecentPanel.h"
#include "textbox/TextBox.h"
#include "wheel/WheelSource.h"
#include "window/Frm_TxtViewer.h"
#include "window/WindowFile.h"

namespace {

QString sameFile(const QString& path) {
    const QFileInfo info(path.trimmed());
    return info.exists() ? info.canonicalFilePath() : QString();
}

// Writes the given state files; false when one of them could not be written.
bool writeStateFiles(const std::vector<SettledSave::File>& files) {
    bool written = true;
    for (const auto& [path, bytes] : files)
        written = statefiles::writeFileAtomically(path, bytes) && written;
    return written;
}

// Whether the saved book is the file named at start (as a book or as its archive).
bool sameBook(const QString& startFile, const statefiles::DocumentState& saved) {
    const QString wanted = sameFile(startFile);
    if (wanted.isEmpty()) return false;
    if (saved.archiveKind != -1) return sameFile(saved.archivePath) == wanted;
    return sameFile(saved.documentPath) == wanted;
}

}  // namespace

void Frm_TxtViewer::formLoad() {
    // A window loaded again after its unload began does not come back.
    if (m_flags.isUnloading == -1) {
        QApplication::exit(0);
        return;
    }
    m_book.archiveKind = -1;
    m_flags.isUnloading = 0;
    createPageBar();
    placeFromWindowFile();
    WheelMouse1->setWindow(Pic_TxtOut);
    WebBrowser1->Navigate(Mo_TxtPublic::bannerPage(m_places.banner));
    files::MakeRealFolder(m_places.extract);
    openLibrary();
    fillFontList();
    LoadSkinPictures();
    acceptDropsOnWindowOnly();
    PicSplash->show();
    PicSplash->raise();
    QCoreApplication::processEvents();
    TmrPlay->setEnabled(true);
}

void Frm_TxtViewer::placeFromWindowFile() {
    const auto saved = windowfile::readPlacement(m_places.state + "/" + windowfile::fileName());
    const QList<QRectF> screens = forms::Screen::AvailableAreas();
    if (windowfile::usePlacement(saved, screens) == windowfile::PlacementUse::Maximise) {
        // Maximised on the screen it was left on: placed inside that screen first, so the
        // window manager maximises it there.
        const int home = windowfile::screenOf(saved, screens);
        if (home > 0 && home < screens.size()) {
            const QRectF s = screens.at(home);
            setGeometryTwips(s.x(), s.y(), std::min(s.width(), 12000.0),
                             std::min(s.height(), 9000.0));
        }
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    setGeometryTwips(saved->left, saved->top, saved->width, saved->height);
}

void Frm_TxtViewer::fillFontList() {
    // Vertical-writing faces ("@" names) are no use for a page of horizontal text.
    const QStringList fonts = forms::Screen::Fonts();
    for (const QString& name : fonts)
        if (!name.contains(QLatin1Char('@'))) Cb_Font->addItem(name);
    // Until an appearance is applied the box names the face the window really uses.
    Cb_Font->setCurrentText(QFontInfo(font()).family());
    Cb_Font->lineEdit()->setCursorPosition(0);
}

// Sets the initial skin pictures of the tool bar and panels.
void Frm_TxtViewer::LoadSkinPictures() {
    Pic_Top->setPicture(skinPicture(QStringLiteral("bg_top.bmp")));
    const std::pair<forms::Image*, const char*> pictures[] = {
        {CmdOpen, "b_open.bmp"},
        {CmdList, "b_listview_grey.bmp"},
        {Cmdleaves, "b_bookmark_grey.bmp"},
        {cmdBold, "b_bold.bmp"},
        {CmdFontColor, "b_fontcolor.bmp"},
        {CmdFirst, "b_forward_grey.bmp"},
        {CmdPrev, "b_prev_grey.bmp"},
        {CmdNext, "b_play_grey.bmp"},
        {CmdLast, "b_back_grey.bmp"},
    };
    for (const auto& [image, file] : pictures) image->setPicture(skinPicture(file));
    PicList->setPicture(skinPicture(QStringLiteral("bg_listview.bmp")));
    CmdOk->setPicture(skinPicture(QStringLiteral("b_listv_ok.bmp")));
    cmdCancel->setPicture(skinPicture(QStringLiteral("b_listv_cancel.bmp")));
    m_panels->chapters().loadSkinPictures();
    m_recent->loadSkinPictures();
    imgHelp->setPicture(skinPicture(QStringLiteral("b_helpdesk.bmp")));
    cmdbgcolor->setPicture(skinPicture(QStringLiteral("b_bgcolor.bmp")));
}

void Frm_TxtViewer::createPageBar() {
    const QString library = m_places.controls + QStringLiteral("/libQm_ImgScrollBar.so");
    m_flags.pageBarProblem = ImageScrollBar1.create(library, Pic_Top, m_dialogs);
    if (!m_flags.pageBarProblem.isEmpty()) {
        // The reader works without its page bar; the user should know why it is missing.
        const QString why = files::FileExists(library)
                                ? QStringLiteral("파일을 읽을 수 없습니다: %1\n(%2)")
                                      .arg(library, m_flags.pageBarProblem)
                                : QStringLiteral("파일이 없습니다: %1").arg(library);
        m_dialogs.MsgBox(QStringLiteral("페이지 이동 막대를 불러올 수 없습니다.\n") + why +
                             QStringLiteral("\n페이지 이동 막대 없이 계속합니다."),
                         dlg::vbExclamation, QStringLiteral("루모북"));
    }
    ImageScrollBar1.applySkin(m_places.skin, devicePixelRatioF());
    ImageScrollBar1.moveTo(668, 28);
}

void Frm_TxtViewer::TmrPlay_Timer() {
    TmrPlay->setEnabled(false);
    m_archives.createArchiveObjects();
    RichTextBox1->setText(QString());
    const QString documentFile = m_places.state + "/" + statefiles::kDocumentFile;
    if (files::FileExists(documentFile)) {
        resumeLastDocument();
    } else {
        applyDefaultAppearance(false);
    }
    // The session ended while the question was up: nothing more is started.
    if (ending()) return;
    RichTextBox1->setText(m_pages.text);
    RelayoutPages();
    // Start-up has finished; the timer's tag says so too, as it always has.
    m_flags.started = true;
    TmrPlay->setTag(QStringLiteral("play"));
    // A book resumed without a usable saved position is shown as opening it would show it.
    if (m_flags.positionUnknown) {
        m_flags.positionUnknown = false;
        showFromFirstPage();
    } else {
        keepPlaceInThisLayout();
    }
    BuildColourPalette();
    PicSplash->hide();
    m_settledSave->watchInput(true);
    m_settledSave->noteChange();
    tellLibraryProblem();
    // No book: the empty spread shows the books read last.
    showShelf();
    if (!m_flags.startFile.isEmpty() && !m_flags.startFileResumed) {
        m_flags.pendingOpen = m_flags.startFile;
        openPendingFile();
    }
}

void Frm_TxtViewer::resumeLastDocument() {
    const auto state = statefiles::decodeDocument(
        statefiles::readFile(m_places.state + "/" + statefiles::kDocumentFile)
            .value_or(QByteArray()));
    if (state) {
        m_book.path = state->documentPath;
        m_book.archiveKind = state->archiveKind;
        m_book.archivePath = state->archivePath;
    }
    const int32_t entryIndex = state ? state->entryIndex : -1;
    const bool archiveThere =
        !m_book.archivePath.isEmpty() && files::FileExists(m_book.archivePath.trimmed());
    if (archiveThere || files::FileExists(m_book.path)) {
        // A file named at start is its own answer: Yes when it is the book saved last.
        int answer = dlg::vbNo;
        if (!m_flags.startFile.isEmpty()) {
            m_flags.startFileResumed = state && sameBook(m_flags.startFile, *state);
            if (m_flags.startFileResumed) answer = dlg::vbYes;
        } else {
            m_flags.askingToResume = true;
            answer =
                m_dialogs.MsgBox(QStringLiteral("기존에 있던 파일을 계속 읽으시겠습니까?"),
                                 dlg::vbYesNo | dlg::vbQuestion, QStringLiteral("기존파일읽기"));
            m_flags.askingToResume = false;
        }
        if (answer == dlg::vbYes) readResumedBook(entryIndex);
        takeSavedPosition();
    }
    // A book named at start is read in the appearance saved, whatever became of the last one.
    const bool settingsSaved = !m_flags.startFile.isEmpty() &&
                               files::FileExists(m_places.state + "/" + statefiles::kSettingsFile);
    if (files::FileExists(m_book.path) || settingsSaved) {
        restoreAppearance();
    } else {
        applyDefaultAppearance(true);
    }
}

// The book saved last, read (its archive opened first) once the user chose to go on.
void Frm_TxtViewer::readResumedBook(int32_t entryIndex) {
    if (m_book.archiveKind != -1) {
        m_book.archivePath = m_book.archivePath.trimmed();
        if (files::FileExists(m_book.archivePath)) OpenDocument(m_book.archivePath, entryIndex);
    }
    // After the archive is opened: its entry may not be the one saved (it changed).
    setWindowTitle(QStringLiteral("루모북 [") + m_book.title() + "]");
    // It is read in the encoding chosen for it (an archive's entry was looked up as it opened).
    if (m_book.archiveKind == -1) {
        m_book.key = library::BookKey::ofFile(m_book.path);
        m_book.encoding = encodingOf(recordOf(m_book.key));
    }
    // What is no book now (grown too large, a pipe put in its place, cut short while it was
    // read) is said, as the open button says it, and nothing is resumed.
    encodings::StoredText::Read read =
        encodings::StoredText::read(m_book.path, {}, m_book.encoding);
    if (read.result != DocumentRead::Read)
        m_dialogs.MsgBox(ReadProblemText(read.result, m_book.path), dlg::vbExclamation,
                         QStringLiteral("루모북"));
    m_pages.text = std::move(read.text);
    m_pages.length = m_pages.text.sizeBound();
}

// The page and count of the window file, where they can belong to the book read.
void Frm_TxtViewer::takeSavedPosition() {
    const auto saved = statefiles::readFile(m_places.state + "/" + windowfile::fileName());
    const auto record = saved ? windowfile::decode(*saved) : std::nullopt;
    if (m_pages.text.isEmpty()) {
        m_pages.length = 0;
        return;
    }
    if (record) chkline->setChecked(record->pageTurn == 1);
    // A position that cannot belong to this text (a damaged or foreign window file) is no
    // position: the pages are counted from page 1 once start-up has finished.
    if (record &&
        windowfile::positionUsable(record->currentPage, record->pageCount, m_pages.length)) {
        m_pages.current = record->currentPage;
        m_pages.count = record->pageCount;
        ImageScrollBar1.setMax(m_pages.count);
    } else {
        m_flags.positionUnknown = true;
    }
    setPageButtons(true);
}

void Frm_TxtViewer::restoreAppearance() {
    const auto bytes = statefiles::readFile(m_places.state + "/" + statefiles::kSettingsFile);
    const auto settings = bytes ? statefiles::decode(*bytes) : std::nullopt;
    if (!settings) {
        // A missing or short settings file counts as no settings at all.
        applyDefaultAppearance(true);
        return;
    }
    m_settings = *settings;
    const QString name = m_settings.cleanFontName();
    Cb_Font->setCurrentText(name);
    Cb_Font->lineEdit()->setCursorPosition(0);
    auto pick = [](QComboBox* box, int index, int value, int fallback) {
        const bool fits =
            index >= 0 && index < box->count() && box->itemText(index).toInt() == value;
        box->setCurrentIndex(fits ? index : fallback);
    };
    pick(Cb_FontSize, m_settings.FontSizeIndex, m_settings.FontSize, 4);
    Cb_FontSize_Click();
    pick(Combo1[0], m_settings.SpacingIndex0, m_settings.SpacingValue0, 0);
    Combo1_Click(0);
    pick(Combo1[1], m_settings.LineSpacingIndex, m_settings.LineSpacing, 6);
    Combo1_Click(1);
    RichTextBox1->setFont(pageFont());
    showBoldState();
}

void Frm_TxtViewer::applyDefaultAppearance(bool documentMissing) {
    const QString name = QFontInfo(font()).family();
    Cb_Font->setCurrentText(name);
    Cb_Font->lineEdit()->setCursorPosition(0);
    m_settings.setFontName(name);
    auto pageColour = [this] {
        m_settings.PageColor = static_cast<int32_t>(gdi::RGB(255, 249, 237));
    };
    if (documentMissing) pageColour();
    Cb_FontSize->setCurrentIndex(4);
    Cb_FontSize_Click();
    if (!documentMissing) pageColour();
    Combo1[0]->setCurrentIndex(0);
    Combo1_Click(0);
    Combo1[1]->setCurrentIndex(6);
    Combo1_Click(1);
}

void Frm_TxtViewer::formUnload() {
    if (m_flags.unloaded) return;
    // A close mid-operation or a signal took what to write when it came; a close at rest
    // writes the state as it stands.
    const std::vector<SettledSave::File> files = m_endContents ? *m_endContents : settledContents();
    // The place in the book is kept when the state is whole; else the last settled save's stays.
    if (!m_endContents && stateWhole()) saveToLibrary();
    m_flags.unloaded = true;
    m_flags.isUnloading = -1;
    // What the settled saves still have in hand is written before the last word is.
    if (m_settledSave) m_settledSave->forget();
    if (m_library) m_library->flush();
    RichTextBox1->setText(QString());
    // The files of the last run stay as they were when one cannot be written (the write never
    // leaves half a file); the user who closed the window should know the place will not come
    // back. A session ending under a signal asks nobody.
    if (!writeStateFiles(files)) {
        if (!m_endContents)
            tellSaveFailed(m_places.state, QString());
        else
            std::fprintf(stderr, "Qm_TextLumo: the state files could not be written in %s\n",
                         qPrintable(m_places.state));
    }
    m_archives.releaseArchiveObjects();
    removeColourCells();
    EmptyExtractFolder(m_places.extract);
}

// Says, once, that the place could not be saved.
void Frm_TxtViewer::tellSaveFailed(const QString& path, const QString& why) {
    const QString folder = QFileInfo(path).isDir() ? path : QFileInfo(path).path();
    QString text = QStringLiteral(
                       "읽던 곳과 설정을 저장하지 못했습니다.\n%1 폴더에 쓸 수 "
                       "없습니다. 디스크 공간과 권한을 확인해 주십시오.")
                       .arg(folder);
    if (!why.isEmpty()) text += QStringLiteral("\n(%1)").arg(why);
    m_dialogs.MsgBox(text, dlg::vbExclamation, QStringLiteral("루모북"));
}

void Frm_TxtViewer::endRequested() {
    if (m_endContents) return;
    m_flags.stopTurn = true;
    m_endContents = settledContents();
    if (m_settledSave) m_settledSave->watchInput(false);
}

void Frm_TxtViewer::endSession() {
    m_flags.stopTurn = true;
    formUnload();
    hide();
}

bool Frm_TxtViewer::saveState() {
    if (m_flags.unloaded) return true;
    const std::vector<SettledSave::File> files = settledContents();
    if (m_settledSave) m_settledSave->forget();
    return writeStateFiles(files);
}

void Frm_TxtViewer::saveAtExit() {
    // The process is ending inside exit() (the display is gone), maybe in the middle of a box
    // or a count: the files only, the state settled last, and nothing released under a caller.
    if (m_flags.unloaded) return;
    const std::vector<SettledSave::File> files = m_endContents ? *m_endContents : settledContents();
    m_flags.unloaded = true;
    m_flags.isUnloading = -1;
    if (m_settledSave) m_settledSave->forget();
    writeStateFiles(files);
    EmptyExtractFolder(m_places.extract);
}

// Takes the progress panel down before a box; the start-up panel stays behind the resume
// question, which is asked while the reader starts.
void Frm_TxtViewer::takeDownProgressPanel() {
    if (m_flags.askingToResume || !PicSplash || !PicSplash->isVisible()) return;
    PicSplash->hide();
}

bool Frm_TxtViewer::stateWhole() const {
    // Mid-operation (counting pages, extracting, the start-up question, any box) the state is
    // half old, half new. A turn only shows a place already taken.
    return !m_flags.unloaded && (isEnabled() || m_flags.turning) && m_flags.started &&
           !PicSplash->isVisible() && QApplication::activeModalWidget() == nullptr;
}

bool Frm_TxtViewer::stateSettled() const {
    // The settled save also waits for a turn to end, so the turn never waits for it.
    return stateWhole() && !m_flags.turning;
}

// What the state files hold when the state is settled now, else what it held when it last was.
std::vector<SettledSave::File> Frm_TxtViewer::settledContents() const {
    if (stateWhole()) return stateFileContents();
    return m_settledSave ? m_settledSave->lastSettled() : std::vector<SettledSave::File>{};
}

std::vector<SettledSave::File> Frm_TxtViewer::stateFileContents() const {
    return snapshot().files(m_places.state);
}

ReaderState Frm_TxtViewer::snapshot() const {
    ReaderState s;
    s.book = m_book;
    s.page = m_pages.current;
    s.pageCount = m_pages.count;
    s.length = m_pages.length;
    s.settings = m_settings;
    s.settings.FontSizeIndex = static_cast<int16_t>(Cb_FontSize->currentIndex());
    s.settings.SpacingIndex0 = static_cast<int16_t>(Combo1[0]->currentIndex());
    s.settings.LineSpacingIndex = static_cast<int16_t>(Combo1[1]->currentIndex());
    s.frame = frameGeometry();
    s.pageTurn = chkline->isChecked();
    s.listEnabled = CmdList->isEnabled();
    return s;
}

void Frm_TxtViewer::closeEvent(QCloseEvent* event) {
    m_flags.stopTurn = true;
    // Closed in the middle of something (a count, an extraction, a turn): the unload must not
    // pull the book from under it, so the end waits until it has returned.
    // (The window takes no input during a turn, but the turn holds nothing the unload takes.)
    const bool operationUnderway = (!isEnabled() && !m_flags.turning) || PicSplash->isVisible() ||
                                   QApplication::activeModalWidget() != nullptr;
    if (!m_flags.unloaded && (operationUnderway || ending())) {
        endRequested();
        event->ignore();
        QCoreApplication::exit(0);
        return;
    }
    formUnload();
    QWidget::closeEvent(event);
}

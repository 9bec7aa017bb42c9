#pragma once
// The main window: the tool bar of skinned buttons over an open book. It creates and lays out
// the controls (WindowControls) and wires them to the book's owners: the book on screen
// (OpenBook), its pages (PageModel) and the reading settings. Its behaviour lives in files per
// concern (Frm_TxtViewer_*.cpp in the folder of that concern).

#include <QHash>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dialogs/Dialogs.h"
#include "documents/ArchiveShelf.h"
#include "documents/OpenBook.h"
#include "library/Library.h"
#include "library/ReadingClock.h"
#include "pages/JumpHistory.h"
#include "pages/OncePerPress.h"
#include "pages/PageModel.h"
#include "pages/PageRenderer.h"
#include "session/Places.h"
#include "session/SettledSave.h"
#include "session/StateFiles.h"
#include "window/PanelFirstDialogs.h"
#include "window/ReaderState.h"
#include "window/WindowControls.h"
#include "window/WindowFlags.h"

class FindPanels;
struct DocumentRead;
class RecentPanel;
class RecentShelf;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;

class Frm_TxtViewer : public QWidget, private WindowControls {
    Q_OBJECT
public:
    // appPath holds skin/, ocx/, TmpZip/ and the state files, or they are where places says (an
    // installed reader's per-user state); dialogs answers every question.
    Frm_TxtViewer(const QString& appPath, dlg::Dialogs& dialogs, QWidget* parent = nullptr);
    Frm_TxtViewer(const Places& places, dlg::Dialogs& dialogs, QWidget* parent = nullptr);
    ~Frm_TxtViewer() override;

    // The load handler: placement, folders, fonts, skin pictures, the splash panel.
    void formLoad();
    void LoadSkinPictures();
    void PaintBookFrame();
    // Draws the gutter between the pages at x on spread, as the paper shows it.
    void paintGutter(forms::PictureBox* spread, int x);
    // The resize handler: re-places every control for the current window size.
    void formResize();

    // What the reader holds: the book on screen, its pages, how it is shown.
    const Places& places() const { return m_places; }
    const OpenBook& book() const { return m_book; }
    const PageModel& pages() const { return m_pages; }
    const statefiles::ReadingSettings& settings() const { return m_settings; }
    PageBar& pageBar() { return ImageScrollBar1; }
    ReaderState snapshot() const;  // the whole state, for the state files and a put-back
    // The spread as the pages show it, composed on demand: no copy of it is kept.
    QImage shownSpread();
    // The books read (library/): null before formLoad.
    library::Library* library() const { return m_library.get(); }
    // Records the book on screen in the library now: its place, bookmark, encoding, time spent.
    void saveToLibrary();
    // The text position of the first character of the spread on screen (0 without a book), and
    // the spread that holds a position in this layout.
    int64_t spreadPlace() const;
    int32_t spreadOfPlace(int64_t place) const;
    // Shows the spread that holds place, as the page bar would.
    void goToPlace(int64_t place);

    // The file named on the command line, opened at start-up instead of the resume question
    // (resumed at its place when it is the book saved last). Set before formLoad.
    void setStartFile(const QString& file) { m_flags.startFile = file; }
    // Another start asked for file ("" for none): the window comes to the front and opens it
    // as the open button would, once no box or count holds the window.
    void openFromOutside(const QString& file);

    // The session is to end (a signal, the session manager, a close mid-operation): what the
    // unload will write is taken now (the settled state when this is no settled moment), and
    // the window starts no new work. The unload runs once every box and count has returned.
    void endRequested();
    bool ending() const { return m_endContents.has_value(); }
    // The unload a close runs, then the window goes; run once the event loop has returned.
    void endSession();
    // Writes the state files now and reads on; false when one could not be written.
    bool saveState();
    // The process ends inside exit() (a lost display): the files are written and the extract
    // folder emptied without a call to the window system.
    void saveAtExit();
    // What the three state files should hold for the book on screen (none without a book);
    // settledContents: the same when the state is settled now, else as it last was.
    std::vector<SettledSave::File> stateFileContents() const;
    std::vector<SettledSave::File> settledContents() const;
    // Whole: no count, extraction, box or start-up under way; settled: whole and no turn.
    bool stateWhole() const;
    bool stateSettled() const;
    SettledSave* settledSave() const { return m_settledSave; }
    // A picture of the skin folder ("b_open.bmp") or of those compiled in, drawn for the
    // window's screen; null when it cannot be loaded.
    QImage skinPicture(const QString& name);
    QImage designPicture(const QString& name);
    // The window moved to a screen of another device pixel ratio: every picture is taken again.
    void pictureRatioChanged();
    // The outer size of the window in twips, frame included, and its geometry set in twips.
    double widthTwips() const;
    double heightTwips() const;
    void setGeometryTwips(double left, double top, double width, double height);

    // Pages, the spread and the turn between spreads (pages/).
    void RelayoutPages();
    PageSlice PageText(int page) const { return sliceOfPage(m_pages, *RichTextBox1, page); }
    void ShowSpread(int page, int direction);
    // The least time a frame of a page turn stays on screen, ms (one display refresh).
    void setTurnFrameInterval(int ms) { m_flags.turnFrameInterval = ms; }
    // Cuts a title that does not fit width pixels to its first characters and "..".
    static QString fitTitle(const QString& title, int width, int wideCharWidth);

    // Books and archives (documents/): reads book().path (or takes its text) and shows 1-2.
    void ShowDocument(std::optional<encodings::StoredText> text = std::nullopt);
    void CmdOpen_Action();
    // Opens a .txt file, or an archive at entry entryIndex (-1: its first, and the list panel
    // when it holds several); false, the book on screen kept and the reason shown, if it cannot.
    bool OpenDocument(const QString& path, int32_t entryIndex);
    // Extracts list row `row` and (when show) shows it; on failure everything stays (recover:
    // the entry on screen is put back into TmpZip, which the failure emptied).
    bool switchEntry(int row, bool show, bool recover = true);

    // The bookmark and the appearance, as their controls set them (pages/).
    void removeBookmark();
    void Cb_FontSize_Click();
    void Combo1_Click(int index);
    void Cb_Font_Click();
    void cmdBold_Click();
    void CmdFontColor_Click();
    void cmdbgcolor_Click();
    void lblcolor_Click(int index);
    void cmdcolorcancel_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class WindowPanelHost;
    friend class WindowRecentHost;
    // The control tree (Frm_TxtViewer.cpp) and its layout (Frm_TxtViewer_Layout.cpp).
    void createToolBar();
    void createToolBarButtons();
    void createToolBarSettings();
    void createBookArea();
    void createPages();
    void createHelpers();
    void createListPanel();
    void createColourPanel();
    void createSplashPanel();
    void createPageBar();
    QSize layOut();
    void applyMinimumSize();
    void stretchTopBack(const QRect& target);
    void HScroll1_Change(int value);

    // Buttons, keys and menus (Frm_TxtViewer_Buttons.cpp, pages/).
    enum class Press { ActOnPress, ReleaseAnyButton, ReleaseLeft };
    void wireButtons();
    void wireButton(forms::Image* button, const QString& normal, const QString& pressed, Press kind,
                    std::function<void()> action);
    void imgHelp_Release();
    void wirePages();
    bool pageKey(QObject* watched, QEvent* event);
    void Tmr_Scroll_Timer();
    void wireBookmark();
    bool pageMenu(QObject* watched, QEvent* event);
    void setPageButtons(bool enabled);
    void createFindPanels();

    // Pages and the spread (pages/).
    QFont pageFont() const;
    pages::PageLook pageLook() const;
    void copyPage(int side, int page, const QFont& numberFont);
    // Composes the spread the pages show, both pages and the gutter, in Picture3.
    QImage composeSpread();
    void CountPages();
    void keepPlaceInThisLayout();
    void DrawPage(int side, int page);
    void placeRightNumber();
    bool playTurn(int direction, QImage previous);
    void showFromFirstPage();
    void ImageScrollBar1_Change();
    void goFirst();
    void goPrevious();
    void goNext();
    void goLast();
    int BookmarkAtPoint(int side, int y);
    void GoToBookmark();
    void setBookmark(int side, int y);
    void Cmdleaves_Release();
    void mnu_bookmark_Click();
    // Back from a jump (pages/Frm_TxtViewer_Jumps.cpp): a jump shows spread through the page
    // bar and is remembered; Alt+Left/Right and the mouse's back and forward buttons travel.
    void jumpTo(int32_t spread);
    void noteJump(int32_t from, int32_t to);
    void goBack();
    void goForward();
    void travel(bool back);
    bool jumpEvent(QObject* watched, QEvent* event);

    // Appearance (pages/).
    void wireAppearance();
    bool appearanceEvent(QObject* watched, QEvent* event);
    void Cb_Font_Enter();
    void cmdbasic_Click();
    void cmdanother_Click();
    void BuildColourPalette();
    void removeColourCells();
    void showBoldState();
    void showPalette();
    void setColour(bool page, gdi::COLORREF colour);

    // Books and archives (documents/).
    void wireDocuments();
    QString ChooseDocumentFile();
    bool openText(const QString& path, int32_t entryIndex);
    bool readBook(const QString& path, encodings::Encoding encoding, bool panel,
                  const QString& name, encodings::StoredText::Read* read);
    bool openArchive(const QString& path, int32_t entryIndex, ArchiveEntries entries);
    void FillArchiveList();
    bool extractSelectedEntry(bool show);
    void chooseListedEntry(bool show);  // the list's choice (OK, a double click)
    void closeListPanel();
    void recoverShownFile();
    void stepFile(int delta);
    void forgetArchive();
    void restoreDocument(const ReaderState& s);
    void putBack(const ReaderState& before, int32_t page);
    void showProgressPanel();
    void takeDownProgressPanel();
    void saySo(const QString& text);
    void whileDisabled(const std::function<void()>& body);

    // The library (library/).
    void openLibrary();
    void tellLibraryProblem();
    std::optional<library::BookRecord> recordOf(const std::optional<library::BookKey>& key) const;
    static encodings::Encoding encodingOf(const std::optional<library::BookRecord>& record);
    void takeLibraryBookmark();
    void noteTurn(int32_t from, int32_t to);

    // The books read last (recent/): their list (Ctrl+R), the shelf of the empty spread, and
    // a book of theirs opened at its place (an archive's entry at its row of the list).
    void createRecentPanel();
    void showShelf();
    std::optional<int32_t> archiveRowOf(const QString& archive, const QString& entry);
    void openRecentBook(const library::BookRecord& book);
    // The encoding the book is read in: the pages' menu 인코딩 (pages/Frm_TxtViewer_Encoding.cpp).
    void wireEncoding();
    void showEncodingMenu();
    void readAgainIn(encodings::Encoding encoding);
    void readBookAgain(encodings::Encoding encoding);
    // A book whose file changed under it is offered to be read again, once; true when it was
    // found changed just now (nothing more of it is drawn till the question is answered).
    bool noticeBookChanged();
    void offerReadingAgain();

    // Start-up and exit (Frm_TxtViewer_Startup.cpp, Frm_TxtViewer_Desktop.cpp).
    void placeFromWindowFile();
    void fillFontList();
    void TmrPlay_Timer();
    void openPendingFile();
    void acceptDropsOnWindowOnly();
    void resumeLastDocument();
    void readResumedBook(int32_t entryIndex);
    void takeSavedPosition();
    void restoreAppearance();
    void applyDefaultAppearance(bool documentMissing);
    void formUnload();
    void tellSaveFailed(const QString& path, const QString& why);

    Places m_places;
    PanelFirstDialogs m_dialogs;
    OpenBook m_book;
    PageModel m_pages;
    statefiles::ReadingSettings m_settings;
    ArchiveShelf m_archives;
    WindowFlags m_flags;
    QHash<QString, QImage> m_skin;
    OncePerPress m_pageKeys;
    JumpHistory m_jumps;
    // How the page bar is being moved (a jump, or going back or forward), and the arrow key
    // that went back or forward, whose release turns no page.
    enum class BarMove { Other, Jump, Travel } m_barMove = BarMove::Other;
    int m_jumpKey = 0;
    pages::PageRenderer m_renderer;  // the pages drawn last, and the rows a click on them hits
    FindPanels* m_panels = nullptr;
    RecentPanel* m_recent = nullptr;
    RecentShelf* m_shelf = nullptr;
    SettledSave* m_settledSave = nullptr;
    std::unique_ptr<library::Library> m_library;
    library::ReadingClock m_clock;
    // The library's record of the book being opened: its bookmark, and its place unless the
    // book was stepped to (or the place is -1).
    std::optional<library::BookRecord> m_opening;
    // What the unload writes once an end was asked for (see endRequested).
    std::optional<std::vector<SettledSave::File>> m_endContents;
};

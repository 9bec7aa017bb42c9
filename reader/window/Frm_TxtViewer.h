#pragma once
// The main window: the tool bar of skinned buttons over an open book. It owns every control
// and the reader's state; its behaviour lives in files per concern (Frm_TxtViewer_*.cpp).

#include <QHash>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dialogs/Dialogs.h"
#include "documents/ArchiveList.h"
#include "pages/OncePerPress.h"
#include "pages/PageBar.h"
#include "pages/PageRenderer.h"
#include "session/Places.h"
#include "session/SettledSave.h"
#include "window/PanelFirstDialogs.h"
#include "window/StateFiles.h"

class ChapterPanel;
class Cls_Rar;
class FindBar;
class PanelHost;
class cUnzip;
class QAction;
class QCheckBox;
class QComboBox;
class QListWidget;
class QMenu;
class QMimeData;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QPushButton;
class QScrollBar;

namespace textbox {
class TextBox;
}
namespace wheel {
class WheelSource;
}

namespace forms {
class Image;
class Label;
class PictureBox;
class Shape;
class Timer;
class WebBrowser;
}  // namespace forms

class Frm_TxtViewer : public QWidget {
    Q_OBJECT
public:
    // appPath holds skin/, ocx/, TmpZip/ and the state files; dialogs answers every question.
    Frm_TxtViewer(const QString& appPath, dlg::Dialogs& dialogs, QWidget* parent = nullptr);
    // The same with its files where places says (an installed reader's per-user state).
    Frm_TxtViewer(const Places& places, dlg::Dialogs& dialogs, QWidget* parent = nullptr);
    ~Frm_TxtViewer() override;

    // The load handler: placement, folders, fonts, skin pictures, the splash panel.
    void formLoad();
    // Sets the initial skin pictures of the tool bar and panels.
    void LoadSkinPictures();
    // Repaints the book frame for the current sizes and page numbers.
    void PaintBookFrame();
    // The resize handler: re-places every control for the current window size.
    void formResize();

    const Places& places() const { return m_places; }

    // --- Files from the desktop: the command line, another start, a drop ------------------
    // The file named on the command line: opened at start-up instead of the resume question,
    // and resumed at its place when it is the book saved last. Set before formLoad.
    void setStartFile(const QString& file) { m_startFile = file; }
    // Another start asked for file ("" for none): the window comes to the front and opens it
    // as the open button would, once no box or count holds the window.
    void openFromOutside(const QString& file);
    // The one local book file a drag carries, or "" (the drop is refused).
    static QString droppedFile(const QMimeData* mime);

    // --- Ends of a session other than a close, and saving as the state settles -----------
    // The session is to end (a signal, the session manager, a close mid-operation): what the
    // unload will write is taken now, the state settled last when this is no settled moment,
    // and from here on the window starts no new work. The unload itself runs later, once every
    // box and count under way has returned.
    void endRequested();
    bool ending() const { return m_endContents.has_value(); }
    // The unload a close runs, then the window goes; run once the event loop has returned.
    void endSession();
    // Writes the state files now and reads on; false when one could not be written.
    bool saveState();
    // The process ends inside exit() (a lost display): the files are written and the extract
    // folder emptied without a call to the window system.
    void saveAtExit();
    // What the three state files should hold for the book on screen (none without a book).
    std::vector<SettledSave::File> stateFileContents();
    // The same when the state is settled now, else what it held when it last was.
    std::vector<SettledSave::File> settledContents();
    // Whether the state is whole (no count, extraction, box or start-up under way), and
    // settled (whole, and no turn playing either).
    bool stateWhole() const;
    bool stateSettled() const;
    // How long after the last change the state files are written, ms.
    static constexpr int kSettleDelayMs = 2000;
    SettledSave* settledSave() const { return m_settledSave; }
    // A picture of the skin folder ("b_open.bmp"), or of the ones compiled in, drawn for the
    // window's screen; null when it cannot be loaded.
    QImage skinPicture(const QString& name);
    QImage designPicture(const QString& name);
    // The window has moved to a screen of another device pixel ratio: every picture is taken
    // again from the set drawn for it, and the window is drawn again.
    void pictureRatioChanged();
    // The outer size of the window in twips, frame included.
    double widthTwips() const;
    double heightTwips() const;
    // Sets the outer geometry in twips; the frame is taken into account once it is known.
    void setGeometryTwips(double left, double top, double width, double height);

    // --- Pagination and drawing (pages/Frm_TxtViewer_Pages.cpp, _Spread.cpp) ---------------
    using PageSlice = pages::PageSlice;
    void RelayoutPages();
    void CountPages();
    // A resumed count made for another layout (another screen, a font gone) is counted again
    // here, keeping the place in the book, so every line stays reachable.
    void keepPlaceInThisLayout();
    PageSlice PageText(int page) const;
    // Draws page `page` as side 0 or 1 of the spread with the page renderer, and sets its
    // number and (on the right) the title, and the bookmark's marker.
    void DrawPage(int side, int page);
    // Puts the right page's number label where its caption's width places it.
    void placeRightNumber();
    void ShowSpread(int page, int direction);
    // Plays the page turn from the spread shown last to the one composed in Picture3 (direction
    // 1 backward, 2 forward, 0 none) on the stage PicMoveBook; false when it could not be drawn.
    bool playTurn(int direction);
    // The least time a frame of a page turn stays on screen, ms (one display refresh).
    int TurnFrameInterval = 16;
    // Cuts a title that does not fit width pixels to its first characters and "..".
    static QString fitTitle(const QString& title, int width, int wideCharWidth);

    // --- Navigation (pages/..._Navigation.cpp) and documents (documents/..._Documents.cpp) --
    // Reads DocumentPath (or takes its text, when it was decoded already) and shows spread 1-2.
    void ShowDocument(std::optional<QString> text = std::nullopt);
    // Counts the pages of the text in the layout box and shows spread 1-2.
    void showFromFirstPage();
    void ImageScrollBar1_Change();
    void goFirst();
    void goPrevious();
    void goNext();
    void goLast();
    QString ChooseDocumentFile();
    void CmdOpen_Action();
    QString lastFolder() const;
    // Opens a .txt file, or lists an archive and shows its entry entryIndex (-1: the user chose
    // the archive: its first entry, and the list panel when it holds several). False, with the
    // document state untouched and the reason shown, when the file cannot be opened.
    bool OpenDocument(const QString& path, int32_t entryIndex);
    std::vector<ArchiveEntry> VBZip_ArchiveUpdate(const QString& path);
    std::vector<ArchiveEntry> VBUnRar_ArchiveUpdate(const QString& path);
    void FillArchiveList();
    bool HasArchiveEntries() const;
    // Extracts the entries called name into TmpZip: nothing when the file is there, else the
    // reason to tell the user ("" when a box said it already). With text, the entry is decoded
    // as it is written, where it can be, and its text put there.
    std::optional<QString> ExtractZipEntry(const QString& name,
                                           std::optional<QString>* text = nullptr);
    std::optional<QString> ExtractRarEntry(const QString& name);
    // Selects list row `row`, extracts it and (when show) shows it; on failure everything stays.
    // recover: a failure puts the entry on screen back into TmpZip, which it emptied.
    bool switchEntry(int row, bool show, bool recover = true);
    // Closes the list panel without choosing: the list shows the entry on screen again.
    void closeListPanel();
    void recoverShownFile();
    // The previous (-1) or next (+1) file of the archive, after asking.
    void stepFile(int delta);
    void createArchiveObjects();
    void releaseArchiveObjects();
    QString tmpZip() const;

    // --- Bookmark (pages/Frm_TxtViewer_Bookmark.cpp) --------------------------------------
    // The top of the line of page m_pages.current + side at y, and its position stored as the
    // bookmark's; 0 (nothing stored) when no line is there.
    int BookmarkAtPoint(int side, int y);
    void GoToBookmark();
    void setBookmark(int side, int y);
    void removeBookmark();
    void Cmdleaves_Release();
    void mnu_bookmark_Click();

    // --- Appearance (pages/Frm_TxtViewer_Appearance.cpp) -----------------------------------
    void Cb_FontSize_Click();
    void Combo1_Click(int index);
    bool IsInstalledFont(const QString& name) const;
    void Cb_Font_Click();
    // Enter in the font box: an installed name is taken, any other refused.
    void Cb_Font_Enter();
    void cmdBold_Click();
    void CmdFontColor_Click();
    void cmdbgcolor_Click();
    void lblcolor_Click(int index);
    void cmdbasic_Click();
    void cmdanother_Click();
    void cmdcolorcancel_Click();
    // Creates the palette's colour cells 1 to 27 and places all 28.
    void BuildColourPalette();
    void removeColourCells();

    // --- Reader state -------------------------------------------------------------------
    int16_t IsUnloading = 0;
    int16_t m_book.archiveKind = -1;
    QString m_book.path;
    QString m_book.archivePath;
    QString m_pages.text;
    double m_pages.length = 0;
    int32_t m_pages.current = 0;
    int32_t m_pages.count = 0;
    int32_t m_pages.linesPerPage = 1;
    int16_t m_pages.lineHeight = 0;
    int16_t m_pages.wideCharWidth = 0;
    int16_t LineSpacingValue = 0;
    int16_t SpacingValue0Copy = 0;
    bool ColourOnlyChange = false;
    int16_t ColourTarget = 0;  // 0: the palette serves the text colour, -1: the page colour
    bool ScrollArmed = false;
    statefiles::ReadingSettings m_settings;
    int32_t m_pages.laidOutWidth = 0;
    int32_t m_pages.laidOutHeight = 0;
    std::vector<ArchiveEntry> m_book.entries;
    // The list row of the archive entry on screen (what is saved, bookmarked and stepped
    // from); the list's own selection may be elsewhere while the user browses it.
    int32_t m_book.shown = -1;
    std::unique_ptr<cUnzip> zipObject;
    std::unique_ptr<Cls_Rar> rarObject;
    // Why the page bar could not be hosted, or "".
    QString PageBarProblem;

    // --- Controls -----------------------------------------------------------------------
    forms::PictureBox* PicTopOut = nullptr;
    forms::PictureBox* Pic_Top = nullptr;
    QScrollBar* HScroll1 = nullptr;
    forms::Image* CmdOpen = nullptr;
    forms::Image* CmdList = nullptr;
    forms::Image* Cmdleaves = nullptr;
    QComboBox* Cb_Font = nullptr;
    QComboBox* Cb_FontSize = nullptr;
    forms::Image* cmdBold = nullptr;
    forms::Image* CmdFontColor = nullptr;
    forms::Shape* Shape1 = nullptr;
    forms::Image* cmdbgcolor = nullptr;
    forms::Shape* Shape2 = nullptr;
    QCheckBox* chkline = nullptr;
    forms::Label* Label3 = nullptr;
    std::array<QComboBox*, 2> Combo1{};
    forms::Image* CmdFirst = nullptr;
    forms::Image* CmdPrev = nullptr;
    forms::Image* CmdNext = nullptr;
    forms::Image* CmdLast = nullptr;
    forms::Label* lbl_Totpage = nullptr;
    forms::PictureBox* PicBanner = nullptr;
    forms::WebBrowser* WebBrowser1 = nullptr;
    forms::Image* imgHelp = nullptr;

    forms::PictureBox* Pic_TxtOut = nullptr;
    forms::PictureBox* PicReadIn = nullptr;
    std::array<forms::PictureBox*, 2> PicRead{};
    std::array<forms::Image*, 2> ImgRead{};
    std::array<forms::Label*, 2> lblread{};
    std::array<forms::Shape*, 2> ShRead{};
    forms::Label* lbl_Title = nullptr;
    forms::Label* lbltemp = nullptr;

    forms::PictureBox* PicTs = nullptr;
    forms::PictureBox* Picture3 = nullptr;
    forms::PictureBox* PicMoveBook = nullptr;
    textbox::TextBox* RichTextBox1 = nullptr;
    PageBar ImageScrollBar1;
    wheel::WheelSource* WheelMouse1 = nullptr;
    forms::Image* img_previmage = nullptr;

    forms::PictureBox* PicList = nullptr;
    forms::PictureBox* Picture2 = nullptr;
    QListWidget* List1 = nullptr;
    forms::Image* CmdOk = nullptr;
    forms::Image* cmdCancel = nullptr;

    forms::PictureBox* PicColor = nullptr;
    forms::PictureBox* Picture1 = nullptr;
    forms::Label* lblcolor0 = nullptr;
    std::vector<forms::Label*> lblcolor;  // the palette's cells; [0] is lblcolor0
    QPushButton* cmdanother = nullptr;
    QPushButton* cmdbasic = nullptr;
    QPushButton* cmdcolorcancel = nullptr;

    forms::PictureBox* PicSplash = nullptr;
    forms::Label* Label1 = nullptr;
    forms::Shape* Sh_Barback = nullptr;
    forms::Shape* Sh_Bar = nullptr;

    forms::Timer* TmrPlay = nullptr;
    forms::Timer* Tmr_Scroll = nullptr;
    QAction* mnu_bookmark = nullptr;
    QMenu* PageMenu = nullptr;

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
    // Drawing the spread (pages/Frm_TxtViewer_Spread.cpp).
    // How the pages look now, for the page renderer.
    pages::PageLook pageLook() const;
    // Copies the drawn page of `side` onto its visible page with its number `page` (and, on the
    // right, the title) printed in numberFont.
    void copyPage(int side, int page, const QFont& numberFont);
    // Composes both visible pages and the gutter into Picture3.
    void composeSpread();
    // The pages drawn last, and the rows a click on them hits.
    pages::PageRenderer m_renderer;

    // Control tree (Frm_TxtViewer.cpp).
    void createToolBar();
    void createToolBarButtons();
    void createToolBarSettings();
    void createBookArea();
    void createPages();
    void createHelpers();
    void createListPanel();
    void createColourPanel();
    void createSplashPanel();

    // Layout (Frm_TxtViewer_Layout.cpp).
    // One run of the resize handler's steps; returns the client size it laid out.
    QSize layOut();
    void applyMinimumSize();
    void stretchTopBack(const QRect& target);
    void HScroll1_Change(int value);

    // Buttons, help and keys (Frm_TxtViewer_Buttons.cpp).
    void wireButtons();
    enum class Press { ActOnPress, ReleaseAnyButton, ReleaseLeft };
    void wireButton(forms::Image* button, const QString& normal, const QString& pressed, Press kind,
                    std::function<void()> action);
    void imgHelp_Release();
    void wirePages();
    bool pageKey(QObject* watched, QEvent* event);
    void Tmr_Scroll_Timer();
    void wireBookmark();
    bool pageMenu(QObject* watched, QEvent* event);

    // The find bar and the chapter list (find/Frm_TxtViewer_Panels.cpp).
    void createFindPanels();
    void wireFindPanels();
    void openFindBar();
    void openChapterList();
    // The keys of the open panels: Enter in the find field and the chapter list, and Escape,
    // which closes an open panel before it minimises the window.
    bool panelKey(QObject* watched, QEvent* event);
    // Places the find bar and the chapter list for the window's size.
    void placeFindPanels();
    // A new book on screen: its matches and headings are forgotten.
    void forgetFindState();

    void wireAppearance();
    void wireDocuments();
    // What says which document is read, to put back when another cannot be opened.
    struct DocumentSnapshot {
        QString documentPath, archivePath;
        int16_t archiveKind = -1;
        std::vector<ArchiveEntry> entries;
        QStringList items;
        int shown = -1;
        int16_t bookmarkSet = 0;
        int32_t bookmarkPosition = 0, bookmarkEntry = 0;
        bool listEnabled = false;
    };
    DocumentSnapshot snapshotDocument() const;
    void restoreDocument(const DocumentSnapshot& s);
    bool extractSelectedEntry(bool show);
    // Reads a .txt book and shows it; false, with the book on screen kept, when it could not.
    bool openText(const QString& path, int32_t entryIndex);
    // Lists an archive's entries and shows entry entryIndex; false when it could not.
    bool openArchive(const QString& path, int32_t entryIndex, std::vector<ArchiveEntry> entries);
    // A book failed with an exception while it was laid out: the one read before comes back
    // at `page`, or no book when even that cannot be had.
    void putBack(const DocumentSnapshot& before, int32_t page);
    // Shows the progress panel and draws it before a step that holds the window (reading a
    // book, extracting an entry); CountPages hides it.
    void showProgressPanel();
    bool prepareTmpZip();
    bool ensureArchiveObjects();
    void forgetArchive();
    void saySo(const QString& text);
    bool appearanceEvent(QObject* watched, QEvent* event);
    void showBoldState();
    void showPalette();
    void setColour(bool page, gdi::COLORREF colour);

    // Start-up and exit (Frm_TxtViewer_Startup.cpp).
    void placeFromWindowFile();
    void fillFontList();
    void TmrPlay_Timer();
    // Whether the saved document is the file named at start (as a book or as its archive).
    bool startFileIsSaved(const statefiles::DocumentState& saved) const;
    // Opens m_pendingOpen when the window is free for it; else tries again shortly.
    void openPendingFile();
    void acceptDropsOnWindowOnly();
    void resumeLastDocument();
    // The book saved last, read (its archive opened first) once the user chose to go on.
    void readResumedBook(int32_t entryIndex);
    // The page and count of the window file, where they can belong to the book read.
    void takeSavedPosition();
    void restoreAppearance();
    void applyDefaultAppearance(bool documentMissing);
    void formUnload();
    // Writes the given state files; false when one of them could not be written.
    static bool writeStateFiles(const std::vector<SettledSave::File>& files);
    // Says, once, that the place could not be saved.
    void tellSaveFailed(const QString& path, const QString& why);
    void createPageBar();
    void setPageButtons(bool enabled);
    QFont pageFont() const;
    // Runs body with the window disabled, then gives the keyboard focus back.
    void whileDisabled(const std::function<void()>& body);

    Places m_places;
    // Takes the progress panel down before a box; the start-up panel stays behind the resume
    // question, which is asked while the reader starts.
    void takeDownProgressPanel();
    bool m_askingToResume = false;
    // The deferred start-up has run: the book is laid out and the state may be saved.
    bool m_started = false;
    QString m_startFile;
    bool m_startFileResumed = false;
    QString m_pendingOpen;
    bool m_pendingOpenQueued = false;
    PanelFirstDialogs m_dialogs;
    QHash<QString, QImage> m_skin;
    qreal m_pictureRatio = 0;  // what m_skin and the pictures shown were drawn for
    bool m_inResize = false;
    bool m_unloaded = false;
    bool m_pendingGeometry = false;
    // The resumed book had no usable saved position: count its pages after start-up.
    bool m_positionUnknown = false;
    OncePerPress m_pageKeys;
    // A page turn is playing; a resize, minimise or close during it ends it, and the layout
    // waits for its end.
    bool m_turning = false;
    bool m_stopTurn = false;
    bool m_layoutAfterTurn = false;
    QRectF m_wantedTwips;
    // The find bar and the chapter list, and the window's answers to them.
    std::unique_ptr<PanelHost> m_panelHost;
    FindBar* m_find = nullptr;
    ChapterPanel* m_chapters = nullptr;
    SettledSave* m_settledSave = nullptr;
    // What the unload writes once an end was asked for (see endRequested).
    std::optional<std::vector<SettledSave::File>> m_endContents;
};

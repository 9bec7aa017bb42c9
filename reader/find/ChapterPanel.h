#pragma once
// The chapter list (목차, Ctrl+T): the book's heading lines with the pages they are on in the
// current layout. Headings are found once per book and kept as text positions; their pages are
// counted again whenever the list is shown or the book is laid out anew.

#include <cstdint>
#include <optional>
#include <vector>

#include "find/Chapters.h"
#include "forms/PictureBox.h"

class PanelHost;
class QEvent;
class QObject;
class QTreeWidget;

namespace forms {
class Image;
class Label;
}  // namespace forms

class ChapterPanel : public forms::PictureBox {
    Q_OBJECT
public:
    // A hidden list (PicChapter) on parent; host answers for the book on screen.
    ChapterPanel(PanelHost& host, QWidget* parent);
    ~ChapterPanel() override;

    // Shows the book's headings with their pages, the chapter on screen chosen.
    void open();
    void close();
    // Enter, a double click or 확인: the chosen chapter's first spread is asked for.
    void showChosen();
    // The headings of the book on screen, found once per book.
    const std::vector<chapters::Heading>& headings();
    // The book was laid out anew: an open list shows the pages of the new layout.
    void layoutChanged();
    // A new book: its headings are forgotten and an open list closes.
    void forgetBook();
    // Sets the skin pictures of the buttons.
    void loadSkinPictures();
    // Enter in the list shows the chosen chapter on its release; true when the key was the
    // list's.
    bool enterKey(QObject* watched, QEvent* event);

signals:
    // The spread whose left page is `spread` holds the chapter chosen.
    void spreadWanted(int32_t spread);
    // The list was closed; hadKeyboard when the keyboard was in it.
    void closed(bool hadKeyboard);

private:
    void createControls();
    void wireControls();
    void fillPages();

    PanelHost& m_host;
    QTreeWidget* LstChapter = nullptr;
    forms::Label* lblChapterNone = nullptr;
    forms::Image* CmdChapterOk = nullptr;
    forms::Image* CmdChapterCancel = nullptr;
    std::optional<std::vector<chapters::Heading>> m_headings;
};

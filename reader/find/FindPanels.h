#pragma once
// The find bar and the chapter list of a window, with the commands that open them (the pages'
// context menu, Ctrl+F, F3, Shift+F3, Ctrl+T) and the keys they take while open. The window
// answers their questions through a PanelHost and turns to the spreads they ask for.

#include <QObject>
#include <cstdint>
#include <memory>

#include "find/PanelHost.h"

class ChapterPanel;
class FindBar;
class QEvent;
class QMenu;
class QWidget;

class FindPanels : public QObject {
    Q_OBJECT
public:
    // The panels lie on window; their commands go into its actions and into menu.
    FindPanels(std::unique_ptr<PanelHost> host, QWidget* window, QMenu* menu);
    ~FindPanels() override;

    FindBar& findBar() const { return *m_find; }
    ChapterPanel& chapters() const { return *m_chapters; }
    // Places both for the window's size: the bar just below `top`, the list in the middle.
    void place(int top);
    // A new book on screen: its matches and headings are forgotten.
    void forgetBook();
    // The keys of the open panels: Enter in the find field and the chapter list, and Escape,
    // which closes an open panel (the window minimises only when none is open).
    bool key(QObject* watched, QEvent* event);

signals:
    // The spread with this left page is wanted on screen: a match's (drawn again when it is
    // on screen already, for its marks) or a chapter's.
    void matchWanted(int32_t spread);
    void chapterWanted(int32_t spread);
    // The marks on the spread on screen changed: it is drawn again.
    void marksChanged();
    // A panel that had the keyboard closed: the pages take it back.
    void keyboardReturned();

private:
    void addCommands(QMenu* menu);
    void openFindBar();
    void openChapterList();

    std::unique_ptr<PanelHost> m_host;
    QWidget* m_window;
    FindBar* m_find;
    ChapterPanel* m_chapters;
    int m_top = 0;
};

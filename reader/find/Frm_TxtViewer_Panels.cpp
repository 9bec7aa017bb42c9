// The find bar and the chapter list on the window: Ctrl+F, F3 and Ctrl+T (also in the pages'
// context menu) open them, Escape closes the one that is open, and the spreads they ask for
// are shown. What they need of the book on screen they ask of the window through PanelHost.

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>
#include <climits>

#include "find/ChapterPanel.h"
#include "find/FindBar.h"
#include "find/PanelHost.h"
#include "forms/PictureBox.h"
#include "pages/Bookmark.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"

namespace {

// The window's answers to its panels, from the book and the layout box on screen.
class WindowPanelHost final : public PanelHost {
public:
    explicit WindowPanelHost(Frm_TxtViewer& window) : w(window) {}

    bool hasBook() const override { return w.m_pages.length != 0; }
    const QString& bookText() const override { return w.m_pages.text; }
    int32_t pageCount() const override { return w.m_pages.count; }
    std::pair<int, int> spreadIndexes() const override {
        const int size = int(w.m_pages.text.size());
        const int first = w.RichTextBox1->charIndexOfLine((w.m_pages.current - 1) * w.m_pages.linesPerPage);
        const int end = w.RichTextBox1->charIndexOfLine((w.m_pages.current + 1) * w.m_pages.linesPerPage);
        return {first < 0 ? size : first, end < 0 ? size : end};
    }
    int32_t spreadOfIndex(int index) const override {
        return bookmark::spreadOfLine(lineOfIndex(index), w.m_pages.linesPerPage);
    }
    int32_t pageOfPosition(int32_t position) const override {
        return w.RichTextBox1->lineFromChar(position) / std::max(1, w.m_pages.linesPerPage) + 1;
    }
    int32_t spreadOfPosition(int32_t position) const override {
        return bookmark::spreadOfLine(w.RichTextBox1->lineFromChar(position), w.m_pages.linesPerPage);
    }
    int64_t spreadEnd() const override {
        const int end = w.RichTextBox1->lineIndex((w.m_pages.current + 1) * w.m_pages.linesPerPage);
        return end < 0 ? INT64_MAX : end;
    }
    QImage designPicture(const QString& name) override { return w.designPicture(name); }
    QImage skinPicture(const QString& name) override { return w.skinPicture(name); }

private:
    // The 0-based layout line holding m_pages.text index `index`: the last line that starts
    // at or before it.
    int lineOfIndex(int index) const {
        int lo = 0, hi = w.RichTextBox1->lineCount() - 1;
        while (lo < hi) {
            const int mid = lo + (hi - lo + 1) / 2;
            const int start = w.RichTextBox1->charIndexOfLine(mid);
            if (start >= 0 && start <= index)
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    }

    Frm_TxtViewer& w;
};

// A context-menu command of the pages with its key, shown without the key in the menu.
QAction* pageCommand(QWidget* window, QMenu* menu, const char* name, const QString& text,
                     const QKeySequence& key) {
    auto* action = new QAction(text, window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(false);
    window->addAction(action);
    menu->addAction(action);
    return action;
}

}  // namespace

void Frm_TxtViewer::createFindPanels() {
    m_panelHost = std::make_unique<WindowPanelHost>(*this);
    m_find = new FindBar(*m_panelHost, this);
    m_chapters = new ChapterPanel(*m_panelHost, this);
}

void Frm_TxtViewer::wireFindPanels() {
    QAction* find = pageCommand(this, PageMenu, "mnu_find", QStringLiteral("찾기(Ctrl+F)"),
                                QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(find, &QAction::triggered, this, [this] { openFindBar(); });
    const std::pair<QKeySequence, int> repeats[] = {{QKeySequence(Qt::Key_F3), 1},
                                                    {QKeySequence(Qt::SHIFT | Qt::Key_F3), -1}};
    for (const auto& [key, direction] : repeats) {
        auto* again = new QAction(this);
        again->setShortcut(key);
        again->setShortcutContext(Qt::WindowShortcut);
        addAction(again);
        connect(again, &QAction::triggered, this, [this, d = direction] {
            if (m_find->isHidden() && m_find->canStep()) openFindBar();
            m_find->step(d);
        });
    }
    QAction* list = pageCommand(this, PageMenu, "mnu_chapters", QStringLiteral("목차(Ctrl+T)"),
                                QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(list, &QAction::triggered, this, [this] { openChapterList(); });
    // The spread of a match on screen is drawn again for its marks; another is turned to.
    connect(m_find, &FindBar::spreadWanted, this, [this](int32_t spread) {
        if (spread == m_pages.current)
            ShowSpread(m_pages.current, 0);
        else
            ImageScrollBar1.setValue(spread);
    });
    connect(m_find, &FindBar::marksChanged, this, [this] { ShowSpread(m_pages.current, 0); });
    // A chapter's spread is turned to as the bookmark's is.
    connect(m_chapters, &ChapterPanel::spreadWanted, this,
            [this](int32_t spread) { ImageScrollBar1.setValue(spread); });
    // A panel that had the keyboard gives it back to the pages.
    auto giveBack = [this](bool hadKeyboard) {
        if (hadKeyboard) PicRead[0]->setFocus(Qt::OtherFocusReason);
    };
    connect(m_find, &FindBar::closed, this, giveBack);
    connect(m_chapters, &ChapterPanel::closed, this, giveBack);
}

void Frm_TxtViewer::placeFindPanels() {
    // The bar lies over the frame and the pages' heads, above the first line of text.
    m_find->move(std::max(0, (width() - m_find->width()) / 2), Pic_TxtOut->y() + 2);
    m_chapters->move(std::max(0, (width() - m_chapters->width()) / 2),
                     std::max(Pic_TxtOut->y(), (height() - m_chapters->height()) / 2));
}

void Frm_TxtViewer::openFindBar() {
    placeFindPanels();
    m_find->open();
}

void Frm_TxtViewer::openChapterList() {
    placeFindPanels();
    m_chapters->open();
}

void Frm_TxtViewer::forgetFindState() {
    m_find->forgetBook();
    m_chapters->forgetBook();
}

bool Frm_TxtViewer::panelKey(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::KeyRelease) || !isEnabled()) return false;
    if (m_find->enterKey(watched, event) || m_chapters->enterKey(watched, event)) return true;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!press || key->key() != Qt::Key_Escape) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || (widget->windowFlags() & Qt::Popup)) return false;
    // An open panel takes Escape; the window minimises only when none is open.
    if (!m_chapters->isHidden()) {
        m_chapters->close();
        return true;
    }
    if (!m_find->isHidden()) {
        m_find->close();
        return true;
    }
    return false;
}

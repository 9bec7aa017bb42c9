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
#include "find/FindPanels.h"
#include "find/PanelHost.h"
#include "forms/PictureBox.h"
#include "pages/Bookmark.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"

// The window's answers to its panels, from the book and the layout box on screen.
class WindowPanelHost final : public PanelHost {
public:
    explicit WindowPanelHost(Frm_TxtViewer& window) : w(window) {}

    bool hasBook() const override { return w.m_pages.length != 0; }
    const encodings::StoredText& bookText() const override { return w.m_pages.text; }
    int32_t pageCount() const override { return w.m_pages.count; }
    std::pair<int, int> spreadIndexes() const override {
        const int size = int(w.m_pages.text.size());
        const int first =
            w.RichTextBox1->charIndexOfLine((w.m_pages.current - 1) * w.m_pages.linesPerPage);
        const int end =
            w.RichTextBox1->charIndexOfLine((w.m_pages.current + 1) * w.m_pages.linesPerPage);
        return {first < 0 ? size : first, end < 0 ? size : end};
    }
    int32_t spreadOfIndex(int index) const override {
        return bookmark::spreadOfLine(lineOfIndex(index), w.m_pages.linesPerPage);
    }
    int32_t pageOfPosition(int32_t position) const override {
        return w.RichTextBox1->lineFromChar(position) / std::max(1, w.m_pages.linesPerPage) + 1;
    }
    int32_t spreadOfPosition(int32_t position) const override {
        return bookmark::spreadOfLine(w.RichTextBox1->lineFromChar(position),
                                      w.m_pages.linesPerPage);
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

// The find bar and the chapter list, and the window's answers to them.
void Frm_TxtViewer::createFindPanels() {
    m_panels = new FindPanels(std::make_unique<WindowPanelHost>(*this), this, PageMenu);
    // The spread of a match on screen is drawn again for its marks; another is turned to.
    connect(m_panels, &FindPanels::matchWanted, this, [this](int32_t spread) {
        if (spread == m_pages.current)
            ShowSpread(m_pages.current, 0);
        else
            jumpTo(spread);
    });
    connect(m_panels, &FindPanels::chapterWanted, this, [this](int32_t spread) { jumpTo(spread); });
    connect(m_panels, &FindPanels::marksChanged, this, [this] { ShowSpread(m_pages.current, 0); });
    connect(m_panels, &FindPanels::keyboardReturned, this,
            [this] { PicRead[0]->setFocus(Qt::OtherFocusReason); });
}

// Pagination: the layout box breaks the whole document into lines; a page is a run of
// LinesPerPage of them, cut from the document only when it is drawn.

#include <QApplication>
#include <algorithm>
#include <cmath>

#include "find/ChapterPanel.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "forms/Units.h"
#include "pages/Pagination.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"

QFont Frm_TxtViewer::pageFont() const {
    QFont f(ReadingSettings.cleanFontName());
    f.setPointSize(ReadingSettings.FontSize > 0 ? ReadingSettings.FontSize : 12);
    f.setBold(ReadingSettings.FontBold != 0);
    return f;
}

void Frm_TxtViewer::RelayoutPages() {
    const QFont font = pageFont();
    const gdi::COLORREF text = static_cast<gdi::COLORREF>(ReadingSettings.TextColor);
    const gdi::COLORREF paper = static_cast<gdi::COLORREF>(ReadingSettings.PageColor);
    for (int i = 0; i < 2; ++i) {
        // The page renderer draws in the visible pages' font and colours (pageLook).
        PicRead[i]->setForeColor(text);
        PicRead[i]->setFont(font);
        PicRead[i]->setBackColor(paper);
        ShRead[i]->setBorderColor(text);
    }
    // Every change of the layout box's font re-wraps the whole book, so only real changes.
    if (RichTextBox1->font() != font) RichTextBox1->setFont(font);
    ReadingSettings.SpacingValue0 = SpacingValue0Copy;
    ReadingSettings.LineSpacing = LineSpacingValue;
    Shape2->setBackColor(paper);
    Shape1->setBackColor(text);

    // The probe ignores bold, as the measuring label always did.
    QFont probe = font;
    probe.setBold(false);
    lbltemp->setAutoSize(true);
    lbltemp->setFont(probe);
    lbltemp->setCaption(QStringLiteral("김"));
    lbltemp->setAutoSize(false);
    WideCharWidth = static_cast<int16_t>(lbltemp->width());
    const int textHeight = lbltemp->height();
    LinesPerPage = pagination::linesPerPage(PicRead[0]->height(), LineSpacingValue, textHeight);
    LineHeight = static_cast<int16_t>(LineSpacingValue + textHeight);

    if (!ColourOnlyChange) {
        const double ratio = PageCount > 0 ? double(CurrentPage) / PageCount : 0;
        if (m_started) CountPages();
        if (PageCount > 0) CurrentPage = pagination::pageAtRatio(ratio, PageCount);
    }
    ColourOnlyChange = false;
    ScrollArmed = false;
    ImageScrollBar1.setValue(CurrentPage);
    ScrollArmed = true;
    // An open chapter list shows the pages of the new layout.
    m_chapters->layoutChanged();
}

void Frm_TxtViewer::CountPages() {
    if (DocumentLength == 0) return;
    PicSplash->show();
    PicSplash->raise();
    ImgRead[0]->hide();
    ImgRead[1]->hide();
    lbl_Title->setCaption(QString());
    Sh_Bar->resize(1, Sh_Bar->height());
    QCoreApplication::processEvents();
    setEnabled(false);
    RichTextBox1->setSelStart(1);
    PageCount = pagination::pageCount(RichTextBox1->lineCount(), LinesPerPage);
    ImageScrollBar1.setMax(PageCount);
    ImageScrollBar1.setEnabled(true);
    PicSplash->hide();
    setEnabled(true);
}

void Frm_TxtViewer::keepPlaceInThisLayout() {
    if (DocumentLength == 0 || PageCount <= 0) return;
    // The spread on screen has wrapped the whole book already: the count costs nothing more.
    const int32_t fresh = pagination::pageCount(RichTextBox1->lineCount(), LinesPerPage);
    if (fresh == PageCount) return;
    // The share of the book before the spread: the first page stays the first.
    const double before = double(CurrentPage - 1) / PageCount;
    PageCount = fresh;
    int32_t page = int32_t(before * PageCount) + 1;
    if (page % 2 == 0) --page;
    CurrentPage = std::clamp<int32_t>(page, 1, PageCount % 2 ? PageCount : PageCount - 1);
    ImageScrollBar1.setMax(PageCount);
    ScrollArmed = false;
    ImageScrollBar1.setValue(CurrentPage);
    ScrollArmed = true;
    ShowSpread(CurrentPage, 0);
}

Frm_TxtViewer::PageSlice Frm_TxtViewer::PageText(int page) const {
    const int L = LinesPerPage;
    const int first = (page - 1) * L;
    PageSlice slice;
    const int start = RichTextBox1->lineIndex(first);
    const int lines = RichTextBox1->lineCount();
    slice.start = start;
    if (start < 0) {
        slice.from = int(DocumentText.size());
        slice.text = QStringLiteral("\r\n");
        return slice;
    }
    // Offsets map to characters through the layout box, so a page costs its own length. The
    // last page runs to the end of what the box holds: while the box is still empty (a relayout
    // early in start-up) that is nothing, never the whole document.
    const int from = RichTextBox1->charIndexOfLine(first);
    slice.from = from;
    int to = int(std::min(DocumentText.size(), RichTextBox1->text().size()));
    if (lines >= first + L + 1) {
        const int end = RichTextBox1->lineIndex(page * L);
        to = end < 0 ? from : RichTextBox1->charIndexOfLine(page * L);
    }
    slice.text = DocumentText.mid(from, std::max(0, to - from)) + QStringLiteral("\r\n");
    return slice;
}

// Pagination: the layout box breaks the whole document into lines; a page is a run of
// m_pages.linesPerPage of them, cut from the document only when it is drawn.

#include <QApplication>
#include <algorithm>
#include <cmath>

#include "find/ChapterPanel.h"
#include "find/FindPanels.h"
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
    QFont f(m_settings.cleanFontName());
    f.setPointSize(m_settings.FontSize > 0 ? m_settings.FontSize : 12);
    f.setBold(m_settings.FontBold != 0);
    return f;
}

void Frm_TxtViewer::RelayoutPages() {
    const QFont font = pageFont();
    const gdi::COLORREF text = static_cast<gdi::COLORREF>(m_settings.TextColor);
    const gdi::COLORREF paper = static_cast<gdi::COLORREF>(m_settings.PageColor);
    for (int i = 0; i < 2; ++i) {
        // The page renderer draws in the visible pages' font and colours (pageLook).
        PicRead[i]->setForeColor(text);
        PicRead[i]->setFont(font);
        PicRead[i]->setBackColor(paper);
        ShRead[i]->setBorderColor(text);
    }
    // As a new back colour erases what a box shows, the pages show none of their old text.
    m_renderer.clear();
    // Every change of the layout box's font re-wraps the whole book, so only real changes.
    if (RichTextBox1->font() != font) RichTextBox1->setFont(font);
    m_settings.SpacingValue0 = m_flags.spacingValue0Copy;
    m_settings.LineSpacing = m_flags.lineSpacingValue;
    Shape2->setBackColor(paper);
    Shape1->setBackColor(text);

    // The probe ignores bold, as the measuring label always did.
    QFont probe = font;
    probe.setBold(false);
    lbltemp->setAutoSize(true);
    lbltemp->setFont(probe);
    lbltemp->setCaption(QStringLiteral("김"));
    lbltemp->setAutoSize(false);
    m_pages.wideCharWidth = static_cast<int16_t>(lbltemp->width());
    const int textHeight = lbltemp->height();
    m_pages.linesPerPage =
        pagination::linesPerPage(PicRead[0]->height(), m_flags.lineSpacingValue, textHeight);
    m_pages.lineHeight = static_cast<int16_t>(m_flags.lineSpacingValue + textHeight);

    if (!m_flags.colourOnlyChange) {
        const double ratio = m_pages.count > 0 ? double(m_pages.current) / m_pages.count : 0;
        if (m_flags.started) CountPages();
        if (m_pages.count > 0) m_pages.current = pagination::pageAtRatio(ratio, m_pages.count);
    }
    m_flags.colourOnlyChange = false;
    m_flags.scrollArmed = false;
    ImageScrollBar1.setValue(m_pages.current);
    m_flags.scrollArmed = true;
    // An open chapter list shows the pages of the new layout.
    m_panels->chapters().layoutChanged();
}

void Frm_TxtViewer::CountPages() {
    if (m_pages.length == 0) return;
    PicSplash->show();
    PicSplash->raise();
    ImgRead[0]->hide();
    ImgRead[1]->hide();
    lbl_Title->setCaption(QString());
    Sh_Bar->resize(1, Sh_Bar->height());
    QCoreApplication::processEvents();
    setEnabled(false);
    RichTextBox1->setSelStart(1);
    m_pages.count = pagination::pageCount(RichTextBox1->lineCount(), m_pages.linesPerPage);
    ImageScrollBar1.setMax(m_pages.count);
    ImageScrollBar1.setEnabled(true);
    PicSplash->hide();
    setEnabled(true);
}

// A resumed count made for another layout (another screen, a font gone) is counted again
// here, keeping the place in the book, so every line stays reachable.
void Frm_TxtViewer::keepPlaceInThisLayout() {
    if (m_pages.length == 0 || m_pages.count <= 0) return;
    // The spread on screen has wrapped the whole book already: the count costs nothing more.
    const int32_t fresh = pagination::pageCount(RichTextBox1->lineCount(), m_pages.linesPerPage);
    if (fresh == m_pages.count) return;
    // The share of the book before the spread: the first page stays the first.
    const double before = double(m_pages.current - 1) / m_pages.count;
    m_pages.count = fresh;
    m_pages.current = pagination::spreadAtShare(before, m_pages.count);
    ImageScrollBar1.setMax(m_pages.count);
    m_flags.scrollArmed = false;
    ImageScrollBar1.setValue(m_pages.current);
    m_flags.scrollArmed = true;
    ShowSpread(m_pages.current, 0);
}

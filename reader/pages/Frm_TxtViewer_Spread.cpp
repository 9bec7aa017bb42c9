// The spread: each page is drawn off screen line by line, then copied to the visible pages
// with its number and the title, and the whole spread is composed into one picture.

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "bookani/Cls_BookAni.h"
#include "find/FindBar.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"
#include "forms/Units.h"
#include "graphics/Raster.h"
#include "pages/Bookmark.h"
#include "pages/Mo_TxtPublic.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"

namespace {

// The find bar's marks behind the text: every match, and the one stepped to.
constexpr gdi::COLORREF kMatch = gdi::RGB(255, 228, 128);
constexpr gdi::COLORREF kCurrentMatch = gdi::RGB(255, 164, 72);

// What a line shows: its text without the line break that ends it, tabs as the four blanks
// the line breaker measured them as.
QString visibleLine(QString line) {
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line.replace(QLatin1Char('\t'), QStringLiteral("    "));
}

void blit(forms::PictureBox* to, int x, int y, forms::PictureBox* from, int w, int h) {
    gdi::BitBlt(to->hDC(), x, y, w, h, from->hDC(), 0, 0, gdi::SRCCOPY);
}

}  // namespace

QString Frm_TxtViewer::fitTitle(const QString& title, int width, int wideCharWidth) {
    if (wideCharWidth <= 0 || width >= title.size() * wideCharWidth) return title;
    const int keep = forms::roundToInt(std::abs(double(width) / wideCharWidth - 3));
    return title.left(keep) + QStringLiteral("..");
}

// Puts the right page's number label where its caption's width places it.
void Frm_TxtViewer::placeRightNumber() {
    lblread[1]->move(PicRead[0]->width() - (lblread[1]->width() + 20) - 10,
                     forms::roundToInt((50 - lblread[1]->height()) / 2.0));
}

void Frm_TxtViewer::DrawPage(int side, int page) {
    forms::PictureBox* out = PicTmpPage[side];
    if (page > m_pages.count) {
        out->Cls();
        out->Refresh();
        // The blank page after the end still shows its number: placed for that number, not
        // where the last spread's number was, which may have had fewer digits.
        if (side == 1) {
            lblread[1]->setCaption(QString::number(page));
            placeRightNumber();
        }
        lblread[side]->setCaption(QString());
        return;
    }
    out->Cls();
    if (out->hasPicture()) out->clearPicture();
    const PageSlice slice = PageText(page);
    Text1->setSelStart(1);
    Text1->setText(slice.text);
    // The rows a click on the page hits (BookmarkAtPoint).
    const std::vector<bookmark::Row> rows =
        bookmark::pageRows([this](int i) { return Text1->lineIndex(i); }, Text1->lineCount(),
                           m_pages.linesPerPage, int(Mo_TxtPublic::LenAnsi(slice.text)), m_pages.lineHeight);
    const int marked = m_settings.BookmarkSet == -1
                           ? bookmark::rowHolding(
                                 rows, int64_t(m_settings.BookmarkPosition) - 1 - slice.start)
                           : -1;
    // The matches of the find bar on this page, as parts of its rows.
    std::vector<textfind::Piece> pieces;
    if (m_find->marking() && !rows.empty()) {
        std::vector<int> starts;
        for (int i = 0; i < int(rows.size()); ++i)
            starts.push_back(slice.from + Text1->charIndexOfLine(i));
        const int e = Text1->lineIndex(int(rows.size()));
        const int last = int(slice.text.size()) - 2;  // the line break added to the page
        starts.push_back(slice.from +
                         std::min(last, e >= 0 ? Text1->charIndexOfLine(int(rows.size())) : last));
        pieces = m_find->piecesOnLines(starts);
    }
    const QFontMetrics metrics(out->font());
    auto piece = pieces.begin();
    for (int i = 0; i < int(rows.size()); ++i) {
        const int e = Text1->lineIndex(i + 1);
        // Lines are cut by character index, so a page costs its own length only.
        const int from = Text1->charIndexOfLine(i);
        const int to = e >= 0 ? Text1->charIndexOfLine(i + 1) : from;
        const QString line = e - rows[i].start >= 1 ? slice.text.mid(from, to - from) : QString();
        // Behind the text, the matches on the row: the one stepped to stronger.
        for (; piece != pieces.end() && piece->line == i; ++piece) {
            if (line.isEmpty()) continue;
            const int x0 = metrics.horizontalAdvance(visibleLine(line.left(piece->from)));
            const int x1 = metrics.horizontalAdvance(visibleLine(line.left(piece->to)));
            if (x1 > x0)
                out->FillRect(QRect(30 + x0, rows[i].top, x1 - x0, metrics.height()),
                              piece->current ? kCurrentMatch : kMatch);
        }
        out->setCurrentX(30);
        out->setCurrentY(rows[i].top);
        out->Print(visibleLine(line));
    }
    if (marked >= 0) {
        ImgRead[side]->move(ImgRead[side]->x(), rows[marked].top);
        ImgRead[side]->show();
    }
    Text1->setText(QString());
    out->Refresh();
    lblread[side]->setCaption(QString::number(page));
    if (side != 1) {
        lbl_Title->setCaption(QString());
        return;
    }
    QString title = m_book.path.mid(m_book.path.lastIndexOf(QLatin1Char('/')) + 1);
    placeRightNumber();
    lbl_Title->resize(ShRead[1]->width() - lblread[1]->width(), lbl_Title->height());
    lbl_Title->move(lblread[1]->x() - lbl_Title->width() - 5, lblread[1]->y());
    title = fitTitle(title, lbl_Title->width(), m_pages.wideCharWidth);
    lbl_Title->setAutoSize(true);
    lbl_Title->setCaption(title);
    lbl_Title->setAutoSize(false);
}

void Frm_TxtViewer::ShowSpread(int p, int direction) {
    if (p <= 0 || m_pages.length == 0) return;
    m_pages.current = p;
    // Hiding the pages takes the keyboard from them; the reader keeps turning with the keys.
    QWidget* focus = QApplication::focusWidget();
    if (!ImageScrollBar1.enabled()) ImageScrollBar1.setEnabled(true);
    ImgRead[0]->hide();
    ImgRead[1]->hide();
    PicRead[0]->hide();
    PicRead[1]->hide();

    DrawPage(0, p);
    PicRead[0]->setAutoRedraw(true);
    if (PicRead[0]->hasPicture()) PicRead[0]->clearPicture();
    // The off-screen page is copied over all of it.
    PicRead[0]->ClsBeforeCovering(PicTmpPage[0]->rect());
    blit(PicRead[0], 0, 0, PicTmpPage[0], PicRead[0]->width(), PicRead[0]->height());

    QFont numberFont = lblread[0]->font();
    numberFont.setBold(true);
    const QFontMetrics numberMetrics(numberFont);
    // The scratch surface is sized for the number it prints: the label of a blank page after
    // the end of the book is empty, and the number must still show whole.
    auto sizeForNumber = [&](forms::Label* label, int number) {
        const int w = numberMetrics.horizontalAdvance(QString::number(number));
        Picpage->resize(std::max(label->width(), w) + 3,
                        std::max(label->height(), numberMetrics.height()) + 3);
    };
    Picpage->setFont(numberFont);
    sizeForNumber(lblread[0], p);
    Picpage->setBackColor(static_cast<gdi::COLORREF>(m_settings.PageColor));
    Picpage->setForeColor(gdi::RGB(64, 56, 48));
    Picpage->setAutoRedraw(true);
    Picpage->setCurrentX(0);
    Picpage->setCurrentY(0);
    Picpage->Print(QString::number(p));
    Picpage->Refresh();
    blit(PicRead[0], lblread[0]->x(), lblread[0]->y(), Picpage, Picpage->width(),
         Picpage->height());
    PicRead[0]->Refresh();

    DrawPage(1, p + 1);
    PicRead[1]->setAutoRedraw(true);
    blit(PicRead[1], 0, 0, PicTmpPage[1], PicRead[1]->width(), PicRead[1]->height());
    sizeForNumber(lblread[1], p + 1);
    Picpage->Cls();
    Picpage->Print(QString::number(p + 1));
    Picpage->Refresh();
    blit(PicRead[1], lblread[1]->x(), lblread[1]->y(), Picpage, Picpage->width(),
         Picpage->height());

    Picpage->Cls();
    Picpage->resize(lbl_Title->width(), lbl_Title->height() + 3);
    Picpage->Print(lbl_Title->caption());
    Picpage->Refresh();
    // Five pixels apart, as the title label itself is placed, so title and number never touch.
    blit(PicRead[1], lblread[1]->x() - lbl_Title->width() - 5, lbl_Title->y(), Picpage,
         Picpage->width(), Picpage->height());
    PicRead[1]->Refresh();
    Picpage->setAutoRedraw(false);

    lbl_Totpage->setCaption(QStringLiteral("%1/%2").arg(m_pages.current).arg(m_pages.count));

    // Compose the spread: the gutter column, then both pages.
    PicReadIn->setAutoRedraw(true);
    Picture3->setAutoRedraw(true);
    // The two pages and the gutter cover the spread but for a column left by the rounding.
    Picture3->ClsBeforeCovering(QRect(0, 0, 2 * PicRead[0]->width() + 1,
                                      std::min(PicRead[0]->height(), PicRead[1]->height())));
    const int gutter = PicRead[0]->x() + PicRead[0]->width();
    gdi::BitBlt(Picture3->hDC(), gutter, 0, 1, Picture3->height(), PicReadIn->hDC(), gutter, 0,
                gdi::SRCCOPY);
    for (forms::PictureBox* page : PicRead)
        gdi::BitBlt(Picture3->hDC(), page->x(), 0, page->width(), page->height(), page->hDC(), 0, 0,
                    gdi::SRCCOPY);
    Picture3->Refresh();
    PicRead[0]->setAutoRedraw(false);
    PicRead[1]->setAutoRedraw(false);

    // A turn that cannot be drawn leaves the spread shown at once, as without the effect.
    if (chkline->isChecked() && !m_flags.turning) playTurn(direction);

    PicRead[0]->show();
    PicRead[1]->show();
    img_previmage->setPicture(Picture3->image());
    PicReadIn->setAutoRedraw(false);
    if (m_settledSave) m_settledSave->noteChange();
    if (focus && (focus == PicRead[0] || focus == PicRead[1]) && isEnabled())
        focus->setFocus(Qt::OtherFocusReason);
}

// Plays the page turn from the spread shown last to the one composed in Picture3 (direction
// 1 backward, 2 forward, 0 none) on the stage PicMoveBook; false when it could not be drawn.
bool Frm_TxtViewer::playTurn(int direction) {
    m_flags.turning = true;
    m_flags.stopTurn = false;
    const int depth = Pic_Top->height() + 20;
    PicMoveBook->setGeometry(20, 0, PicReadIn->width(), PicReadIn->height() + depth);
    PicMoveBook->raise();
    PicMoveBook->setAutoRedraw(true);
    if (PicMoveBook->hasPicture()) PicMoveBook->clearPicture();
    // The band above the pages as the window shows it now: the turning page rises into it.
    QImage band = grab(QRect(20, 0, PicMoveBook->width(), depth)).toImage();
    band = band.convertToFormat(QImage::Format_RGB32);
    const gdi::HDC bandDc = gdi::CreateWindowDC([&band] { return &band; }, {});
    // The grab holds the screen's device pixels; its ratio says how many per logical pixel.
    const QSize bandSize = gdi::raster::logicalSize(band);
    gdi::BitBlt(PicMoveBook->hDC(), 0, 0, bandSize.width(), bandSize.height(), bandDc, 0, 0,
                gdi::SRCCOPY);
    gdi::ReleaseWindowDC(bandDc);
    PicMoveBook->show();

    // The old spread is lent to the animator; before the first spread it is a blank page.
    QImage previous = img_previmage->picture();
    if (previous.isNull()) {
        previous = gdi::raster::surface(PicReadIn->size(), PicReadIn->devicePixelRatioF());
        previous.fill(gdi::toQColor(static_cast<gdi::COLORREF>(m_settings.PageColor)));
    }
    const gdi::HBITMAP lent = gdi::CreateBitmapFromImage(previous);
    bool drawn = false;
    {
        Cls_BookAni ani;
        ani.Set_PagePos(direction);
        ani.Set_Border(-1);
        ani.Set_Depth(static_cast<int16_t>(depth));
        ani.Set_Width(float(PicReadIn->width()));
        ani.Set_Height(float(PicReadIn->height()));
        ani.setStopWhen([this] { return m_flags.stopTurn; });
        ani.setFrameInterval(m_flags.turnFrameInterval);
        ani.Screen_DepthCapture(PicMoveBook->hDC());
        ani.Load_CurBookHandle(PicReadIn->hDC(), lent);
        ani.Load_FlipBookDc(Picture3->hDC());
        drawn = ani.Move_Flip(PicMoveBook->hDC(), PicMoveBook);
    }
    gdi::DeleteObject(lent);
    PicMoveBook->hide();
    PicMoveBook->setAutoRedraw(false);
    m_flags.turning = false;
    // A resize or a restore that came during the turn is laid out now, at the final size.
    if (m_flags.layoutAfterTurn) {
        m_flags.layoutAfterTurn = false;
        QTimer::singleShot(0, this, &Frm_TxtViewer::formResize);
    }
    return drawn;
}

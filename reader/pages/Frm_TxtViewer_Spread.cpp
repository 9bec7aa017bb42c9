// The spread: each page is drawn by the page renderer, then copied to the visible pages with
// its number and the title, and the whole spread is composed into one picture.

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "bookani/Cls_BookAni.h"
#include "find/FindBar.h"
#include "find/FindPanels.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"
#include "forms/Units.h"
#include "graphics/Raster.h"
#include "window/Frm_TxtViewer.h"

namespace {

// The page numbers and the title are printed in this ink over the page colour.
constexpr gdi::COLORREF kCaptionInk = gdi::RGB(64, 56, 48);

// The find bar's marks on a page's rows, when it shows any.
std::function<std::vector<pages::Highlight>(const std::vector<int>&)> findMarks(
    const FindBar* find) {
    if (!find->marking()) return {};
    return [find](const std::vector<int>& rowStarts) {
        std::vector<pages::Highlight> out;
        for (const textfind::Piece& p : find->piecesOnLines(rowStarts))
            out.push_back({p.line, p.from, p.to, p.current});
        return out;
    };
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

pages::PageLook Frm_TxtViewer::pageLook() const {
    // As the visible pages are set up by RelayoutPages: both pages are alike.
    const forms::PictureBox* page = PicRead[0];
    pages::PageLook look;
    look.font = page->font();
    look.ink = page->foreColor();
    look.paper = page->backColor();
    look.lineHeight = m_pages.lineHeight;
    look.linesPerPage = m_pages.linesPerPage;
    look.size = page->size();
    look.ratio = page->devicePixelRatioF();
    return look;
}

void Frm_TxtViewer::DrawPage(int side, int page) {
    if (page > m_pages.count) {
        m_renderer.renderBlank(side, pageLook());
        // The blank page after the end still shows its number: placed for that number, not
        // where the last spread's number was, which may have had fewer digits.
        if (side == 1) {
            lblread[1]->setCaption(QString::number(page));
            placeRightNumber();
        }
        lblread[side]->setCaption(QString());
        return;
    }
    pages::PageMarks marks;
    if (m_settings.BookmarkSet == -1) marks.bookmark = int64_t(m_settings.BookmarkPosition) - 1;
    marks.highlights = findMarks(&m_panels->findBar());
    const pages::RenderedPage& drawn = m_renderer.render(side, PageText(page), pageLook(), marks);
    if (drawn.marked >= 0) {
        ImgRead[side]->move(ImgRead[side]->x(), drawn.layout.rows[size_t(drawn.marked)].top);
        ImgRead[side]->show();
    }
    lblread[side]->setCaption(QString::number(page));
    if (side != 1) {
        lbl_Title->setCaption(QString());
        return;
    }
    QString title = m_book.title();
    placeRightNumber();
    lbl_Title->resize(ShRead[1]->width() - lblread[1]->width(), lbl_Title->height());
    lbl_Title->move(lblread[1]->x() - lbl_Title->width() - 5, lblread[1]->y());
    title = fitTitle(title, lbl_Title->width(), m_pages.wideCharWidth);
    lbl_Title->setAutoSize(true);
    lbl_Title->setCaption(title);
    lbl_Title->setAutoSize(false);
}

void Frm_TxtViewer::copyPage(int side, int page, const QFont& numberFont) {
    forms::PictureBox* to = PicRead[side];
    if (to->hasPicture()) to->clearPicture();
    // Sized for the number it prints: the label of a blank page after the end of the book is
    // empty, and the number must still show whole.
    const QString number = QString::number(page);
    const QFontMetrics metrics(numberFont);
    const forms::Label* label = lblread[side];
    const QSize numberSize(std::max(label->width(), metrics.horizontalAdvance(number)) + 3,
                           std::max(label->height(), metrics.height()) + 3);
    std::vector<pages::PageRenderer::Caption> captions{{QRect(label->pos(), numberSize), number}};
    if (side == 1) {
        const QSize titleSize(lbl_Title->width(), lbl_Title->height() + 3);
        // Five pixels apart, as the title label itself is placed, so title and number never
        // touch.
        captions.push_back({QRect(QPoint(label->x() - lbl_Title->width() - 5, lbl_Title->y()),
                                  titleSize),
                            lbl_Title->caption()});
    }
    m_renderer.setCaptions(side, std::move(captions), numberFont, kCaptionInk);
    to->update();
}

QImage Frm_TxtViewer::composeSpread() {
    Picture3->setAutoRedraw(true);
    // The two pages and the gutter cover the spread but for a column left by the rounding.
    Picture3->ClsBeforeCovering(QRect(0, 0, 2 * PicRead[0]->width() + 1,
                                      std::min(PicRead[0]->height(), PicRead[1]->height())));
    const int gutter = PicRead[0]->x() + PicRead[0]->width();
    paintGutter(Picture3, gutter);
    // A page holds no pixels: copying it paints it, and that copy is let go of again.
    for (forms::PictureBox* page : PicRead) {
        gdi::BitBlt(Picture3->hDC(), page->x(), 0, page->width(), page->height(), page->hDC(), 0, 0,
                    gdi::SRCCOPY);
        page->dropImages();
    }
    return Picture3->image();
}

QImage Frm_TxtViewer::shownSpread() {
    QImage spread = composeSpread();
    Picture3->dropImages();
    return spread;
}

void Frm_TxtViewer::ShowSpread(int p, int direction) {
    if (p <= 0 || m_pages.length == 0) return;
    // A file changed under the book keeps the spread on screen till the user says.
    if (noticeBookChanged()) return;
    m_pages.current = p;
    // Hiding the pages takes the keyboard from them; the reader keeps turning with the keys.
    QWidget* focus = QApplication::focusWidget();
    if (!ImageScrollBar1.enabled()) ImageScrollBar1.setEnabled(true);
    // A turn starts from the spread the pages show now; before the first spread, from paper.
    const bool turn = (direction == 1 || direction == 2) && chkline->isChecked() &&
                      !m_flags.turning;
    const QImage previous = turn && m_flags.spreadShown ? shownSpread() : QImage();
    ImgRead[0]->hide();
    ImgRead[1]->hide();
    PicRead[0]->hide();
    PicRead[1]->hide();
    // Hidden, the pages need not hold the spread they showed while the next one is drawn.
    PicRead[0]->dropImages();
    PicRead[1]->dropImages();

    QFont numberFont = lblread[0]->font();
    numberFont.setBold(true);
    for (int side = 0; side < 2; ++side) {
        DrawPage(side, p + side);
        copyPage(side, p + side, numberFont);
    }
    lbl_Totpage->setCaption(QStringLiteral("%1/%2").arg(m_pages.current).arg(m_pages.count));
    PicReadIn->setAutoRedraw(true);

    // A turn that cannot be drawn leaves the spread shown at once, as without the effect.
    if (turn) {
        composeSpread();
        playTurn(direction, previous);
        // The spread was composed for the turn alone; nothing of it is kept until the next.
        Picture3->dropImages();
    }
    m_flags.spreadShown = true;

    PicRead[0]->show();
    PicRead[1]->show();
    PicReadIn->setAutoRedraw(false);
    if (m_settledSave) m_settledSave->noteChange();
    if (focus && (focus == PicRead[0] || focus == PicRead[1]) && isEnabled())
        focus->setFocus(Qt::OtherFocusReason);
}

// Plays the page turn from `previous` (null before the first spread) to the spread composed in
// Picture3 (direction 1 backward, 2 forward) on the stage PicMoveBook; false when it could not
// be drawn. The stage, the band and the animator's surfaces last only as long as the turn.
bool Frm_TxtViewer::playTurn(int direction, QImage previous) {
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
    band = QImage();
    PicMoveBook->show();

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
    PicMoveBook->dropImages();
    m_flags.turning = false;
    // A resize or a restore that came during the turn is laid out now, at the final size.
    if (m_flags.layoutAfterTurn) {
        m_flags.layoutAfterTurn = false;
        QTimer::singleShot(0, this, &Frm_TxtViewer::formResize);
    }
    return drawn;
}

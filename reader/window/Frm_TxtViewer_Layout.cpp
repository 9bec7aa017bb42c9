// The resize handler: every control is re-placed from the current window size.

#include <QComboBox>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <memory>

#include "find/FindPanels.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Screen.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "forms/Units.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"
#include "window/Layout.h"

using forms::roundToInt;

double Frm_TxtViewer::widthTwips() const {
    return frameGeometry().width() * forms::Screen::TwipsPerPixelX();
}

double Frm_TxtViewer::heightTwips() const {
    return frameGeometry().height() * forms::Screen::TwipsPerPixelY();
}

// Sets the outer geometry in twips; the frame is taken into account once it is known.
void Frm_TxtViewer::setGeometryTwips(double left, double top, double width, double height) {
    const double tx = forms::Screen::TwipsPerPixelX(), ty = forms::Screen::TwipsPerPixelY();
    // The frame adds to the client size; until the window manager has framed the window it
    // counts as nothing, and the placement is applied again once it is known.
    const int frameW = frameGeometry().width() - geometry().width();
    const int frameH = frameGeometry().height() - geometry().height();
    m_flags.wantedTwips = QRectF(left, top, width, height);
    m_flags.pendingGeometry = !isVisible();
    move(roundToInt(left / tx), roundToInt(top / ty));
    resize(roundToInt(width / tx) - frameW, roundToInt(height / ty) - frameH);
}

void Frm_TxtViewer::applyMinimumSize() {
    const double tx = forms::Screen::TwipsPerPixelX(), ty = forms::Screen::TwipsPerPixelY();
    const QSize wanted =
        layout::clampToMinimum(roundToInt(widthTwips()), roundToInt(heightTwips()));
    const int frameW = frameGeometry().width() - geometry().width();
    const int frameH = frameGeometry().height() - geometry().height();
    const QSize minClient(roundToInt(layout::kMinWidthTwips / tx) - frameW,
                          roundToInt(layout::kMinHeightTwips / ty) - frameH);
    // The window manager keeps the window from shrinking further; the snap below catches
    // sizes that reach us anyway.
    if (minimumSize() != minClient) setMinimumSize(minClient);
    if (wanted.width() != roundToInt(widthTwips()))
        resize(roundToInt(wanted.width() / tx) - frameW, height());
    if (wanted.height() != roundToInt(heightTwips()))
        resize(width(), roundToInt(wanted.height() / ty) - frameH);
}

void Frm_TxtViewer::formResize() {
    if (m_flags.turning) {
        // The turn ends at its next frame; the window is laid out once it has.
        m_flags.stopTurn = true;
        m_flags.layoutAfterTurn = true;
        return;
    }
    if (isMinimized() || m_flags.inResize) return;
    m_flags.inResize = true;
    // Counting pages lets events run, and a resize that arrives then finds this layout still
    // running. So the layout runs again until it has seen the window's final size (a few
    // rounds at most, should the window manager keep changing it).
    for (int round = 0; round < 4; ++round) {
        const QSize laidOut = layOut();
        if (isMinimized() || size() == laidOut) break;
    }
    m_flags.inResize = false;
}

// One run of the resize handler's steps; returns the client size it laid out.
QSize Frm_TxtViewer::layOut() {
    applyMinimumSize();
    const QSize laidOut = size();

    layout::Input in;
    in.clientWidth = width();
    in.clientHeight = height();
    in.windowWidthTwips = widthTwips();
    in.windowHeightTwips = heightTwips();
    in.twipsPerPixelX = forms::Screen::TwipsPerPixelX();
    in.twipsPerPixelY = forms::Screen::TwipsPerPixelY();
    in.pageNumberLabel = lblread[1]->size();
    in.splash = PicSplash->size();
    in.list = PicList->size();
    const layout::Result r = layout::compute(in);

    PicTopOut->setGeometry(r.topOut);
    Pic_TxtOut->setGeometry(r.txtOut);
    if (r.toolBarFits) {
        HScroll1->setValue(0);
        HScroll1->hide();
    } else {
        HScroll1->setGeometry(r.hscroll);
        HScroll1->setMaximum(r.hscrollMax);
        HScroll1->setSingleStep(layout::kHScrollSmallChange);
        HScroll1->show();
        HScroll1->raise();
    }
    if (r.stretchTopBack) stretchTopBack(r.topBack);

    PicRead[0]->setGeometry(r.page[0]);
    PicRead[1]->setGeometry(r.page[1]);
    RichTextBox1->setGeometry(r.textBox);
    lblread[0]->move(r.pageNumber[0]);
    lblread[1]->move(r.pageNumber[1]);
    PicReadIn->setGeometry(r.readIn);
    Picture3->setGeometry(r.picture3);
    PaintBookFrame();
    ShRead[0]->setGeometry(r.textFrame[0]);
    ShRead[1]->setGeometry(r.textFrame[1]);
    PicSplash->move(r.splash);
    PicList->move(r.list);
    if (m_panels) m_panels->place(Pic_TxtOut->y());

    const int w = roundToInt(widthTwips()), h = roundToInt(heightTwips());
    if (w != m_pages.laidOutWidth || h != m_pages.laidOutHeight) {
        // Before start-up has finished the saved page count stands; after it, a new size means
        // new pages.
        if (m_flags.started) RelayoutPages();
        m_pages.laidOutWidth = w;
        m_pages.laidOutHeight = h;
    }
    return laidOut;
}

void Frm_TxtViewer::stretchTopBack(const QRect& target) {
    PicTs->Cls();
    PicTs->clearPicture();
    PicTs->setAutoSize(true);
    PicTs->setPicture(skinPicture(QStringLiteral("bg_Topback.bmp")));
    PicTs->setAutoSize(false);
    if (!PicTs->hasPicture()) return;
    PicTopOut->setAutoRedraw(true);
    PicTopOut->clearPicture();
    gdi::StretchBlt(PicTopOut->hDC(), target.x(), target.y(), target.width(), target.height(),
                    PicTs->hDC(), 0, 0, PicTs->width(), PicTs->height(), gdi::SRCCOPY);
    PicTopOut->Refresh();
    PicTopOut->setAutoRedraw(false);
}

void Frm_TxtViewer::HScroll1_Change(int value) {
    Pic_Top->move(-value, Pic_Top->y());
}

void Frm_TxtViewer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    formResize();
}

void Frm_TxtViewer::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Restoring from minimised brings no resize event when the size is unchanged; the layout
    // still has to run (it skips the re-pagination itself).
    if (event->type() == QEvent::WindowStateChange && isMinimized()) m_flags.stopTurn = true;
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        QTimer::singleShot(0, this, &Frm_TxtViewer::formResize);
}

bool Frm_TxtViewer::event(QEvent* event) {
    // Moved to another screen (whose ratio may differ): handled once the move has settled.
    if (event->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        || event->type() == QEvent::DevicePixelRatioChange
#endif
    )
        QTimer::singleShot(0, this, &Frm_TxtViewer::pictureRatioChanged);
    return QWidget::event(event);
}

void Frm_TxtViewer::pictureRatioChanged() {
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_flags.pictureRatio) return;
    const bool sameSet = m_flags.pictureRatio != 0 &&
                         gdi::PictureScale(ratio) == gdi::PictureScale(m_flags.pictureRatio);
    m_flags.pictureRatio = ratio;
    if (!sameSet) {
        m_skin.clear();
        // Every picture the window shows names the file it came from; the scroll bar's are
        // the bar's own and are handed to it again.
        QWidget* bar = ImageScrollBar1.widget();
        auto retake = [&](auto* control) {
            if (bar && bar->isAncestorOf(control)) return;
            const QString source = control->picture().text(QStringLiteral("source"));
            if (!source.isEmpty()) control->setPicture(gdi::LoadImageFor(source, ratio));
        };
        for (forms::PictureBox* box : findChildren<forms::PictureBox*>()) retake(box);
        for (forms::Image* image : findChildren<forms::Image*>()) retake(image);
        ImageScrollBar1.applyPictures(m_places.skin, ratio);
    }
    // Every surface is made again at the new ratio as it is next drawn.
    formResize();
}

void Frm_TxtViewer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The controls were made before the window had a screen; shown, it may be on another.
    QTimer::singleShot(0, this, &Frm_TxtViewer::pictureRatioChanged);
    if (!m_flags.pendingGeometry) return;
    m_flags.pendingGeometry = false;
    // The window manager frames the window a moment after it is shown; once the frame is
    // known, the saved outer placement is applied again, exactly. Without a frame (no window
    // manager) the placement already holds.
    auto* poll = new QTimer(this);
    poll->setInterval(50);
    auto tries = std::make_shared<int>(0);
    connect(poll, &QTimer::timeout, this, [this, poll, tries] {
        const bool framed = frameGeometry().size() != geometry().size();
        if (framed && !isMaximized() && !isMinimized()) {
            const QRectF r = m_flags.wantedTwips;
            setGeometryTwips(r.x(), r.y(), r.width(), r.height());
        }
        if (framed || ++*tries >= 40) poll->deleteLater();
    });
    poll->start();
}

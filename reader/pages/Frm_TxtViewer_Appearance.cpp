// Appearance: the font box, the size and spacing lists, bold, and the text and page colours
// with their palette panel. A choice that changes the font, size, weight or spacing re-lays the
// book out at the same reading position with the window disabled meanwhile; a palette colour
// only redraws the spread on screen.

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Screen.h"
#include "forms/Shape.h"
#include "pages/Palette.h"
#include "window/Frm_TxtViewer.h"

void Frm_TxtViewer::Cb_FontSize_Click() {
    const int value = Cb_FontSize->currentText().toInt();
    if (value == m_settings.FontSize) return;
    m_settings.FontSize = static_cast<int16_t>(value);
    whileDisabled([this] { RelayoutPages(); });
}

void Frm_TxtViewer::Combo1_Click(int index) {
    const int16_t value = static_cast<int16_t>(Combo1[index]->currentText().toInt());
    int16_t stored = 0;
    if (index == 1) {
        m_flags.lineSpacingValue = value;
        stored = m_settings.LineSpacing;
    } else {
        m_flags.spacingValue0Copy = value;
        stored = m_settings.SpacingValue0;
    }
    if (value == stored) return;
    whileDisabled([this] { RelayoutPages(); });
}

void Frm_TxtViewer::Cb_Font_Click() {
    const QString chosen = Cb_Font->currentText();
    if (chosen == m_settings.cleanFontName()) return;
    m_settings.setFontName(chosen);
    whileDisabled([this] { RelayoutPages(); });
}

// Enter in the font box: an installed name is taken, any other refused.
void Frm_TxtViewer::Cb_Font_Enter() {
    const QString typed = Cb_Font->currentText();
    if (typed == m_settings.cleanFontName()) return;
    if (palette::isInstalledFont(typed, forms::Screen::Fonts())) {
        m_settings.setFontName(typed);
    } else {
        // Refused: the box shows the stored name again.
        Cb_Font->setCurrentText(m_settings.cleanFontName());
        Cb_Font->lineEdit()->setCursorPosition(0);
    }
    whileDisabled([this] { RelayoutPages(); });
}

void Frm_TxtViewer::showBoldState() {
    cmdBold->setPicture(skinPicture(m_settings.FontBold ? QStringLiteral("b_bold_down.bmp")
                                                        : QStringLiteral("b_bold.bmp")));
}

void Frm_TxtViewer::cmdBold_Click() {
    m_settings.FontBold = m_settings.FontBold ? 0 : -1;
    showBoldState();
    whileDisabled([this] { RelayoutPages(); });
}

// Creates the palette's colour cells 1 to 27 and places all 28.
void Frm_TxtViewer::BuildColourPalette() {
    const QSize cell = lblcolor0->size();
    for (int k = 0; k < palette::kCells; ++k) {
        if (k >= int(lblcolor.size())) {
            auto* c = new forms::Label(Picture1);
            c->setObjectName(QStringLiteral("lblcolor_%1").arg(k));
            c->resize(cell);
            c->setCursor(Qt::PointingHandCursor);
            lblcolor.push_back(c);
        }
        forms::Label* c = lblcolor[k];
        c->move(palette::cellPosition(k, cell));
        c->setBackColor(palette::kColours[k]);
        c->show();
    }
}

void Frm_TxtViewer::removeColourCells() {
    // Cell 0 belongs to the window's design and stays.
    while (lblcolor.size() > 1) {
        delete lblcolor.back();
        lblcolor.pop_back();
    }
}

void Frm_TxtViewer::showPalette() {
    const int swatch = Pic_Top->x() + Shape1->x();
    PicColor->move(palette::panelLeft(swatch, PicColor->width(), PicTopOut->width()),
                   Shape1->y() + Shape1->height() + 5);
    PicColor->show();
    PicColor->raise();
}

void Frm_TxtViewer::CmdFontColor_Click() {
    // Pressed until the palette closes.
    CmdFontColor->setPicture(skinPicture(QStringLiteral("b_fontcolor_down.bmp")));
    m_flags.colourTarget = 0;
    showPalette();
}

void Frm_TxtViewer::cmdbgcolor_Click() {
    cmdbgcolor->setPicture(skinPicture(QStringLiteral("b_bgcolor_down.bmp")));
    m_flags.colourTarget = -1;
    showPalette();
    cmdbgcolor->setPicture(skinPicture(QStringLiteral("b_bgcolor.bmp")));
}

void Frm_TxtViewer::setColour(bool page, gdi::COLORREF colour) {
    if (page) {
        Shape2->setBackColor(colour);
        m_settings.PageColor = static_cast<int32_t>(colour);
    } else {
        Shape1->setBackColor(colour);
        m_settings.TextColor = static_cast<int32_t>(colour);
    }
}

void Frm_TxtViewer::lblcolor_Click(int index) {
    if (index < 0 || index >= palette::kCells) return;
    setColour(m_flags.colourTarget == -1, palette::kColours[index]);
    CmdFontColor->setPicture(skinPicture(QStringLiteral("b_fontcolor.bmp")));
    PicColor->hide();
    m_flags.colourOnlyChange = true;
    RelayoutPages();
}

void Frm_TxtViewer::cmdbasic_Click() {
    const bool page = m_flags.colourTarget == -1;
    setColour(page, page ? palette::kDefaultPage : palette::kDefaultText);
    m_flags.colourOnlyChange = true;
    RelayoutPages();
}

void Frm_TxtViewer::cmdanother_Click() {
    const bool page = m_flags.colourTarget != 0;
    const auto initial = page ? m_settings.PageColor : m_settings.TextColor;
    const auto chosen = m_dialogs.ShowColor(static_cast<gdi::COLORREF>(initial));
    if (!chosen) return;
    setColour(page, *chosen & 0x00FFFFFF);
    if (!page) CmdFontColor->setPicture(skinPicture(QStringLiteral("b_fontcolor.bmp")));
    // Recounted, and the position kept by ratio.
    RelayoutPages();
}

void Frm_TxtViewer::cmdcolorcancel_Click() {
    PicColor->hide();
    CmdFontColor->setPicture(skinPicture(QStringLiteral("b_fontcolor.bmp")));
}

void Frm_TxtViewer::wireAppearance() {
    // Choices made by the user; choices made by the program call the handlers themselves.
    connect(Cb_Font, &QComboBox::activated, this, [this] { Cb_Font_Click(); });
    connect(Cb_FontSize, &QComboBox::activated, this, [this] { Cb_FontSize_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(Combo1[i], &QComboBox::activated, this, [this, i] { Combo1_Click(i); });
    connect(cmdBold, &forms::Image::leftClicked, this, [this] { cmdBold_Click(); });
    connect(CmdFontColor, &forms::Image::clicked, this, [this] { CmdFontColor_Click(); });
    connect(cmdbgcolor, &forms::Image::clicked, this, [this] { cmdbgcolor_Click(); });
    connect(cmdbasic, &QPushButton::clicked, this, [this] { cmdbasic_Click(); });
    connect(cmdanother, &QPushButton::clicked, this, [this] { cmdanother_Click(); });
    connect(cmdcolorcancel, &QPushButton::clicked, this, [this] { cmdcolorcancel_Click(); });
    lblcolor.push_back(lblcolor0);
}

bool Frm_TxtViewer::appearanceEvent(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && watched == Cb_Font->lineEdit()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) Cb_Font_Enter();
        return false;
    }
    // A cell is a plain label: it takes the press itself, so the panel under it never does.
    if (event->type() != QEvent::MouseButtonPress) return false;
    if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
    for (size_t k = 0; k < lblcolor.size(); ++k)
        if (watched == lblcolor[k]) {
            lblcolor_Click(int(k));
            return true;
        }
    return false;
}

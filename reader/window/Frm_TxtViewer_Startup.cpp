// Start-up and exit: the load handler, the initial skin pictures, the deferred start-up timer
// and the unload handler.

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>

#include "files/Files.h"
#include "forms/Image.h"
#include "forms/PictureBox.h"
#include "forms/Screen.h"
#include "forms/Timer.h"
#include "forms/WebBrowser.h"
#include "pages/Mo_TxtPublic.h"
#include "window/Frm_TxtViewer.h"
#include "window/WindowFile.h"

void Frm_TxtViewer::formLoad() {
    // A window loaded again after its unload began does not come back.
    if (IsUnloading == -1) {
        QApplication::exit(0);
        return;
    }
    ArchiveKind = -1;
    IsUnloading = 0;
    // TODO: the page bar (ImageScrollBar1) is set up here once the control library lands.
    placeFromWindowFile();
    // TODO: the wheel source over Pic_TxtOut comes with navigation.
    WebBrowser1->Navigate(Mo_TxtPublic::bannerPage(m_appPath));
    if (!files::DirExists(m_appPath + "/TmpZip/")) files::MkDir(m_appPath + "/TmpZip");
    fillFontList();
    LoadSkinPictures();
    PicSplash->show();
    PicSplash->raise();
    QCoreApplication::processEvents();
    TmrPlay->setEnabled(true);
}

void Frm_TxtViewer::placeFromWindowFile() {
    const auto saved = windowfile::readPlacement(m_appPath + "/" + windowfile::fileName());
    const bool coversScreen = saved && saved->width >= forms::Screen::Width() &&
                              saved->height + 300 >= forms::Screen::Height();
    if (!saved || coversScreen) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    setGeometryTwips(saved->left, saved->top, saved->width, saved->height);
}

void Frm_TxtViewer::fillFontList() {
    // Vertical-writing faces ("@" names) are no use for a page of horizontal text.
    const QStringList fonts = forms::Screen::Fonts();
    for (const QString& name : fonts)
        if (!name.contains(QLatin1Char('@'))) Cb_Font->addItem(name);
    // Until an appearance is applied the box names the face the window really uses.
    Cb_Font->setCurrentText(QFontInfo(font()).family());
    Cb_Font->lineEdit()->setCursorPosition(0);
}

void Frm_TxtViewer::LoadSkinPictures() {
    Pic_Top->setPicture(skinPicture(QStringLiteral("bg_top.bmp")));
    const std::pair<forms::Image*, const char*> pictures[] = {
        {CmdOpen, "b_open.bmp"},
        {CmdList, "b_listview_grey.bmp"},
        {Cmdleaves, "b_bookmark_grey.bmp"},
        {cmdBold, "b_bold.bmp"},
        {CmdFontColor, "b_fontcolor.bmp"},
        {CmdFirst, "b_forward_grey.bmp"},
        {CmdPrev, "b_prev_grey.bmp"},
        {CmdNext, "b_play_grey.bmp"},
        {CmdLast, "b_back_grey.bmp"},
    };
    for (const auto& [image, file] : pictures) image->setPicture(skinPicture(file));
    PicList->setPicture(skinPicture(QStringLiteral("bg_listview.bmp")));
    CmdOk->setPicture(skinPicture(QStringLiteral("b_listv_ok.bmp")));
    cmdCancel->setPicture(skinPicture(QStringLiteral("b_listv_cancel.bmp")));
    imgHelp->setPicture(skinPicture(QStringLiteral("b_helpdesk.bmp")));
    cmdbgcolor->setPicture(skinPicture(QStringLiteral("b_bgcolor.bmp")));
}

void Frm_TxtViewer::TmrPlay_Timer() {
    TmrPlay->setEnabled(false);
    // TODO: the archive objects, the resume offer, the appearance and the first relayout
    // arrive with the reading subsystem.
    TmrPlay->setTag(QStringLiteral("play"));
    PicSplash->hide();
}

void Frm_TxtViewer::formUnload() {
    if (m_unloaded) return;
    m_unloaded = true;
    IsUnloading = -1;
    // TODO: the state files are written here with the reading subsystem.
}

void Frm_TxtViewer::closeEvent(QCloseEvent* event) {
    formUnload();
    QWidget::closeEvent(event);
}

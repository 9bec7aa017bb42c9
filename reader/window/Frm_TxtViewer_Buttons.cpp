// Skinned buttons: pictures swap on press and release; help; Escape; focus on the pages.

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>

#include "find/FindPanels.h"
#include "forms/Image.h"
#include "forms/PictureBox.h"
#include "pages/Mo_TxtPublic.h"
#include "recent/RecentPanel.h"
#include "window/Frm_TxtViewer.h"

namespace {
constexpr int kLeftButton = 1;
}

void Frm_TxtViewer::wireButton(forms::Image* button, const QString& normal, const QString& pressed,
                               Press kind, std::function<void()> action) {
    connect(button, &forms::Image::mouseDown, this, [=, this](int mouseButton, int, int, int) {
        if (kind != Press::ReleaseAnyButton && mouseButton != kLeftButton) return;
        button->setPicture(skinPicture(pressed));
        if (kind != Press::ActOnPress) return;
        // The action may open a dialog; the button looks pressed until it returns.
        if (action) action();
        button->setPicture(skinPicture(normal));
    });
    if (kind == Press::ActOnPress) return;
    connect(button, &forms::Image::mouseUp, this, [=, this](int mouseButton, int, int, int) {
        if (kind == Press::ReleaseLeft && mouseButton != kLeftButton) return;
        button->setPicture(skinPicture(normal));
        if (action) action();
    });
}

void Frm_TxtViewer::wireButtons() {
    wireButton(CmdOpen, QStringLiteral("b_open.bmp"), QStringLiteral("b_open_down.bmp"),
               Press::ActOnPress, [this] { CmdOpen_Action(); });
    wireButton(CmdOk, QStringLiteral("b_listv_ok.bmp"), QStringLiteral("b_listv_ok_down.bmp"),
               Press::ActOnPress, [this] { chooseListedEntry(true); });
    wireButton(CmdFirst, QStringLiteral("b_forward.bmp"), QStringLiteral("b_forward_down.bmp"),
               Press::ReleaseAnyButton, [this] { goFirst(); });
    wireButton(CmdPrev, QStringLiteral("b_prev.bmp"), QStringLiteral("b_prev_down.bmp"),
               Press::ReleaseAnyButton, [this] { goPrevious(); });
    wireButton(CmdNext, QStringLiteral("b_play.bmp"), QStringLiteral("b_play_down.bmp"),
               Press::ReleaseAnyButton, [this] { goNext(); });
    wireButton(CmdLast, QStringLiteral("b_back.bmp"), QStringLiteral("b_back_down.bmp"),
               Press::ReleaseAnyButton, [this] { goLast(); });
    wireButton(Cmdleaves, QStringLiteral("b_bookmark.bmp"), QStringLiteral("b_bookmark_down.bmp"),
               Press::ReleaseLeft, [this] { Cmdleaves_Release(); });
    wireButton(imgHelp, QStringLiteral("b_helpdesk.bmp"), QStringLiteral("b_helpdesk_down.bmp"),
               Press::ReleaseLeft, [this] { imgHelp_Release(); });

    for (forms::PictureBox* page : PicRead) {
        connect(page, &forms::PictureBox::mouseMove, page, [page](int, int, int, int) {
            // Fails quietly while another window is active or a dialog is open.
            if (QApplication::activeModalWidget() == nullptr) page->setFocus(Qt::MouseFocusReason);
        });
    }
    qApp->installEventFilter(this);
}

void Frm_TxtViewer::imgHelp_Release() {
    Mo_TxtPublic::OpenHomePage(m_dialogs);
}

bool Frm_TxtViewer::eventFilter(QObject* watched, QEvent* event) {
    if (jumpEvent(watched, event) || pageKey(watched, event) || pageMenu(watched, event) ||
        appearanceEvent(watched, event) || (m_recent && m_recent->key(watched, event)) ||
        (m_panels && m_panels->key(watched, event)))
        return true;
    // A key preview: Escape minimises the window whichever of its controls has the focus
    // (an open panel, the find bar, the chapter list or the recent books, takes it first, above).
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Escape && widget && widget->window() == this &&
            !(widget->windowFlags() & Qt::Popup)) {
            setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

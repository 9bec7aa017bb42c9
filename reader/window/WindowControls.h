#pragma once
// The controls of the main window, as its design names them. The window creates them all and
// lays them out; its collaborators and the tests find them by these names (objectName).

#include <array>
#include <vector>

#include "pages/PageBar.h"

class QAction;
class QCheckBox;
class QComboBox;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;

namespace textbox {
class TextBox;
}
namespace wheel {
class WheelSource;
}
namespace forms {
class Image;
class Label;
class PictureBox;
class Shape;
class Timer;
class WebBrowser;
}  // namespace forms

struct WindowControls {
    forms::PictureBox* PicTopOut = nullptr;
    forms::PictureBox* Pic_Top = nullptr;
    QScrollBar* HScroll1 = nullptr;
    forms::Image* CmdOpen = nullptr;
    forms::Image* CmdList = nullptr;
    forms::Image* Cmdleaves = nullptr;
    QComboBox* Cb_Font = nullptr;
    QComboBox* Cb_FontSize = nullptr;
    forms::Image* cmdBold = nullptr;
    forms::Image* CmdFontColor = nullptr;
    forms::Shape* Shape1 = nullptr;
    forms::Image* cmdbgcolor = nullptr;
    forms::Shape* Shape2 = nullptr;
    QCheckBox* chkline = nullptr;
    forms::Label* Label3 = nullptr;
    std::array<QComboBox*, 2> Combo1{};
    forms::Image* CmdFirst = nullptr;
    forms::Image* CmdPrev = nullptr;
    forms::Image* CmdNext = nullptr;
    forms::Image* CmdLast = nullptr;
    forms::Label* lbl_Totpage = nullptr;
    forms::PictureBox* PicBanner = nullptr;
    forms::WebBrowser* WebBrowser1 = nullptr;
    forms::Image* imgHelp = nullptr;

    forms::PictureBox* Pic_TxtOut = nullptr;
    forms::PictureBox* PicReadIn = nullptr;
    std::array<forms::PictureBox*, 2> PicRead{};
    std::array<forms::Image*, 2> ImgRead{};
    std::array<forms::Label*, 2> lblread{};
    std::array<forms::Shape*, 2> ShRead{};
    forms::Label* lbl_Title = nullptr;
    forms::Label* lbltemp = nullptr;

    forms::PictureBox* PicTs = nullptr;
    forms::PictureBox* Picture3 = nullptr;
    forms::PictureBox* PicMoveBook = nullptr;
    textbox::TextBox* RichTextBox1 = nullptr;
    PageBar ImageScrollBar1;
    wheel::WheelSource* WheelMouse1 = nullptr;

    forms::PictureBox* PicList = nullptr;
    forms::PictureBox* Picture2 = nullptr;
    QListWidget* List1 = nullptr;
    forms::Image* CmdOk = nullptr;
    forms::Image* cmdCancel = nullptr;

    forms::PictureBox* PicColor = nullptr;
    forms::PictureBox* Picture1 = nullptr;
    forms::Label* lblcolor0 = nullptr;
    std::vector<forms::Label*> lblcolor;  // the palette's cells; [0] is lblcolor0
    QPushButton* cmdanother = nullptr;
    QPushButton* cmdbasic = nullptr;
    QPushButton* cmdcolorcancel = nullptr;

    forms::PictureBox* PicSplash = nullptr;
    forms::Label* Label1 = nullptr;
    forms::Shape* Sh_Barback = nullptr;
    forms::Shape* Sh_Bar = nullptr;

    forms::Timer* TmrPlay = nullptr;
    forms::Timer* Tmr_Scroll = nullptr;
    QAction* mnu_bookmark = nullptr;
    QMenu* PageMenu = nullptr;
};

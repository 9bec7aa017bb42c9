#include "window/Frm_TxtViewer.h"
#include "find/FindPanels.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include "documents/Cls_Rar.h"
#include "documents/cUnzip.h"
#include "find/ChapterPanel.h"
#include "find/FindBar.h"
#include "find/PanelHost.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "forms/UiFont.h"
#include "forms/WebBrowser.h"
#include "textbox/TextBox.h"
#include "wheel/WheelSource.h"

using gdi::RGB;

namespace {

// How long after the last change the state files are written, ms.
constexpr int kSettleDelayMs = 2000;

constexpr gdi::COLORREF kToolBarGrey = RGB(239, 239, 239);
constexpr gdi::COLORREF kBookArea = RGB(232, 227, 231);
constexpr gdi::COLORREF kPaper = RGB(255, 249, 237);

forms::Image* makeImage(QWidget* parent, const char* name, QRect r, const QString& tip = {}) {
    auto* img = new forms::Image(parent);
    img->setObjectName(QString::fromLatin1(name));
    img->setGeometry(r);
    if (!tip.isEmpty()) img->setToolTip(tip);
    return img;
}

forms::PictureBox* makeBox(QWidget* parent, const char* name, gdi::COLORREF back) {
    auto* box = new forms::PictureBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setBackColor(back);
    return box;
}

QComboBox* makeCombo(QWidget* parent, const char* name, QRect r, const QStringList& items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(r);
    c->setFont(uiFont(9));
    c->addItems(items);
    return c;
}

QStringList numbers(int from, int to) {
    QStringList l;
    for (int i = from; i <= to; ++i) l << QString::number(i);
    return l;
}

}  // namespace

Frm_TxtViewer::Frm_TxtViewer(const QString& appPath, dlg::Dialogs& dialogs, QWidget* parent)
    : Frm_TxtViewer(Places::besideProgram(appPath), dialogs, parent) {}

Frm_TxtViewer::Frm_TxtViewer(const Places& places, dlg::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      m_places(places),
      m_dialogs(dialogs, [this] { takeDownProgressPanel(); }),
      m_archives(m_dialogs, m_places.extract) {
    setObjectName(QStringLiteral("Frm_TxtViewer"));
    setWindowTitle(QStringLiteral("루모북"));
    setFont(uiFont(9));
    createToolBar();
    createBookArea();
    createHelpers();
    createListPanel();
    createColourPanel();
    createSplashPanel();
    wireButtons();
    wirePages();
    wireBookmark();
    createFindPanels();
    createRecentPanel();
    wireEncoding();
    wireAppearance();
    wireDocuments();
    m_settledSave = new SettledSave(
        [this] {
            saveToLibrary();
            return stateFileContents();
        },
                                    [this] { return stateSettled(); }, kSettleDelayMs, this);
    connect(m_settledSave, &SettledSave::writeFailed, this,
            [this](const QString& path, const QString& why) {
                if (!m_flags.unloaded && !ending()) tellSaveFailed(path, why);
            });
    resize(800, 600);
}

Frm_TxtViewer::~Frm_TxtViewer() {
    // The controls die after the window's own members; a control that reports something on
    // its way out (a font box losing the focus) must find no handler of this window any more.
    qApp->removeEventFilter(this);
    // Its writer finishes what it was handed while the window is still whole.
    delete m_settledSave;
    m_settledSave = nullptr;
    for (QObject* control : findChildren<QObject*>())
        QObject::disconnect(control, nullptr, this, nullptr);
    // The panels go while the window still answers them.
    delete m_panels;
}

void Frm_TxtViewer::createToolBar() {
    PicTopOut = makeBox(this, "PicTopOut", kToolBarGrey);
    PicTopOut->setGeometry(0, 0, 800, 42);
    Pic_Top = makeBox(PicTopOut, "Pic_Top", kToolBarGrey);
    Pic_Top->setGeometry(0, 1, 1024, 42);
    HScroll1 = new QScrollBar(Qt::Horizontal, PicTopOut);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setGeometry(800 - 32, 0, 32, 42);
    HScroll1->setRange(0, 0);
    HScroll1->hide();
    connect(HScroll1, &QScrollBar::valueChanged, this, &Frm_TxtViewer::HScroll1_Change);
    createToolBarButtons();
    createToolBarSettings();
}

void Frm_TxtViewer::createToolBarButtons() {
    CmdOpen = makeImage(Pic_Top, "CmdOpen", {0, 0, 44, 42}, QStringLiteral("파일 열기"));
    CmdList = makeImage(Pic_Top, "CmdList", {44, 0, 46, 42}, QStringLiteral("압축파일 목록"));
    CmdList->setEnabled(false);
    Cmdleaves = makeImage(Pic_Top, "Cmdleaves", {90, 0, 43, 42},
                          QStringLiteral("책갈피 바로가기 기능입니다.(책갈피 설정은 마우스 "
                                         "오른쪽 클릭으로 설정할수 있습니다.)"));
    Cmdleaves->setEnabled(false);
    cmdBold = makeImage(Pic_Top, "cmdBold", {277, 13, 31, 19}, QStringLiteral("굵게"));
    CmdFontColor = makeImage(Pic_Top, "CmdFontColor", {317, 3, 31, 22}, QStringLiteral("글자색"));
    cmdbgcolor = makeImage(Pic_Top, "cmdbgcolor", {348, 3, 31, 22}, QStringLiteral("바탕색"));
    CmdFirst = makeImage(Pic_Top, "CmdFirst", {494, 0, 45, 42}, QStringLiteral("처음 페이지"));
    CmdPrev = makeImage(Pic_Top, "CmdPrev", {539, 0, 40, 42}, QStringLiteral("이전 페이지"));
    CmdNext = makeImage(Pic_Top, "CmdNext", {580, 0, 42, 42}, QStringLiteral("다음 페이지"));
    CmdLast = makeImage(Pic_Top, "CmdLast", {622, 0, 46, 42}, QStringLiteral("마지막 페이지"));
    for (forms::Image* b : {CmdFirst, CmdPrev, CmdNext, CmdLast}) b->setEnabled(false);
    imgHelp = makeImage(Pic_Top, "imgHelp", {977, 0, 40, 43}, QStringLiteral("홈페이지"));
}

void Frm_TxtViewer::createToolBarSettings() {
    Cb_Font = makeCombo(Pic_Top, "Cb_Font", {140, 13, 77, 20}, {});
    Cb_Font->setEditable(true);
    // A typed name is taken or refused, never added to the list of installed fonts.
    Cb_Font->setInsertPolicy(QComboBox::NoInsert);
    // Names are told apart by letter case too, so completion must not fold it.
    Cb_Font->completer()->setCaseSensitivity(Qt::CaseSensitive);
    Cb_FontSize = makeCombo(Pic_Top, "Cb_FontSize", {218, 13, 55, 20},
                            {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                             "28", "36", "48", "72"});
    Shape1 = new forms::Shape(Pic_Top);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(316, 28, 32, 10);
    Shape1->setOpaque(true);
    Shape1->setBackColor(0);
    Shape2 = new forms::Shape(Pic_Top);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setGeometry(349, 28, 32, 10);
    Shape2->setOpaque(true);
    Shape2->setBackColor(kPaper);
    chkline = new QCheckBox(QStringLiteral("책장효과 "), Pic_Top);
    chkline->setObjectName(QStringLiteral("chkline"));
    chkline->setGeometry(384, 1, 108, 21);
    chkline->setFont(uiFont(9));
    chkline->setAutoFillBackground(true);
    QPalette pal = chkline->palette();
    pal.setColor(QPalette::Window, gdi::toQColor(kToolBarGrey));
    chkline->setPalette(pal);
    Label3 = new forms::Label(Pic_Top);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(384, 24, 36, 12);
    Label3->setFont(uiFont(9));
    Label3->setTransparent(true);
    Label3->setCaption(QStringLiteral("줄간격"));
    Combo1[0] = makeCombo(Pic_Top, "Combo1_0", {437, 1, 56, 20}, numbers(1, 20));
    Combo1[0]->hide();
    Combo1[1] = makeCombo(Pic_Top, "Combo1_1", {437, 20, 56, 20}, numbers(1, 20));
    lbl_Totpage = new forms::Label(Pic_Top);
    lbl_Totpage->setObjectName(QStringLiteral("lbl_Totpage"));
    lbl_Totpage->setGeometry(675, 13, 132, 10);
    lbl_Totpage->setFont(uiFont(9, true));
    lbl_Totpage->setTransparent(true);
    lbl_Totpage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lbl_Totpage->setCaption(QStringLiteral("/"));
    PicBanner = makeBox(Pic_Top, "PicBanner", kToolBarGrey);
    PicBanner->setGeometry(816, 0, 160, 37);
    WebBrowser1 = new forms::WebBrowser(PicBanner);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setGeometry(-2, -2, 164, 41);
}

void Frm_TxtViewer::createBookArea() {
    Pic_TxtOut = makeBox(this, "Pic_TxtOut", kBookArea);
    Pic_TxtOut->setGeometry(0, 42, 800, 558);
    PicReadIn = makeBox(Pic_TxtOut, "PicReadIn", kPaper);
    PicReadIn->setGeometry(20, 20, 760, 518);
    createPages();
}

void Frm_TxtViewer::createPages() {
    for (int i = 0; i < 2; ++i) {
        const QByteArray n = QByteArray::number(i);
        PicRead[i] = makeBox(PicReadIn, ("PicRead_" + n).constData(), kPaper);
        PicRead[i]->setFocusPolicy(Qt::StrongFocus);
        PicRead[i]->setMouseTracking(true);
        // A page is painted from what the renderer keeps of it, each time it shows.
        PicRead[i]->setDrawing(
            [this, i](QPainter& p, const QRect& area) { m_renderer.paint(i, p, area); });
        ShRead[i] = new forms::Shape(PicRead[i]);
        ShRead[i]->setObjectName(QString::fromLatin1("ShRead_" + n));
        // The frame is placed and coloured but not shown: it ends where the text box ends, so
        // full lines would touch it, and a printed page shows no box around its text.
        ShRead[i]->hide();
        lblread[i] = new forms::Label(PicRead[i]);
        lblread[i]->setObjectName(QString::fromLatin1("lblread_" + n));
        lblread[i]->setFont(uiFont(9, true));
        lblread[i]->setAutoSize(true);
        lblread[i]->setCaption(QStringLiteral("0"));
        lblread[i]->hide();
        ImgRead[i] = makeImage(PicRead[i], ("ImgRead_" + n).constData(), {15, 50, 15, 15});
        ImgRead[i]->setPicture(designPicture(QStringLiteral("bookmark.bmp")));
        ImgRead[i]->setCursor(Qt::PointingHandCursor);
        ImgRead[i]->hide();
    }
    lbl_Title = new forms::Label(PicRead[1]);
    lbl_Title->setObjectName(QStringLiteral("lbl_Title"));
    lbl_Title->setFont(uiFont(9, true));
    lbl_Title->hide();
    lbltemp = new forms::Label(PicRead[0]);
    lbltemp->setObjectName(QStringLiteral("lbltemp"));
    lbltemp->setAutoSize(true);
    lbltemp->hide();
}

void Frm_TxtViewer::createHelpers() {
    PicTs = makeBox(this, "PicTs", RGB(255, 255, 255));
    PicTs->setAutoSize(true);
    Picture3 = makeBox(this, "Picture3", kPaper);
    PicMoveBook = makeBox(this, "PicMoveBook", kPaper);
    for (QWidget* w : std::initializer_list<QWidget*>{PicTs, Picture3, PicMoveBook}) w->hide();
    // Drawing on a box that is never shown only lasts in its persistent image. The spread is
    // composed there for a page turn only, and let go of after it.
    Picture3->setAutoRedraw(true);
    // The layout box holds the whole document; a page is cut into rows by the page renderer.
    RichTextBox1 = new textbox::TextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->hide();
    WheelMouse1 = new wheel::WheelSource(this);
    TmrPlay = new forms::Timer(this);
    TmrPlay->setObjectName(QStringLiteral("TmrPlay"));
    TmrPlay->setInterval(200);
    connect(TmrPlay, &forms::Timer::timeout, this, &Frm_TxtViewer::TmrPlay_Timer);
    Tmr_Scroll = new forms::Timer(this);
    Tmr_Scroll->setObjectName(QStringLiteral("Tmr_Scroll"));
    Tmr_Scroll->setInterval(200);
    connect(Tmr_Scroll, &forms::Timer::timeout, this, &Frm_TxtViewer::Tmr_Scroll_Timer);
}

void Frm_TxtViewer::createListPanel() {
    PicList = makeBox(this, "PicList", RGB(255, 255, 255));
    PicList->setGeometry(0, 0, 300, 230);
    Picture2 = makeBox(PicList, "Picture2", RGB(255, 255, 255));
    Picture2->setGeometry(3, 3, 293, 190);
    List1 = new QListWidget(Picture2);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(2, 5, 292, 180);
    List1->setFont(uiFont(12));
    List1->setFrameShape(QFrame::NoFrame);
    CmdOk = makeImage(PicList, "CmdOk", {90, 194, 61, 36}, QStringLiteral("확인"));
    cmdCancel = makeImage(PicList, "cmdCancel", {151, 194, 61, 36}, QStringLiteral("취소"));
    PicList->hide();
}

void Frm_TxtViewer::createColourPanel() {
    PicColor = makeBox(this, "PicColor", RGB(239, 239, 239));
    PicColor->setGeometry(0, 0, 170, 129);
    Picture1 = makeBox(PicColor, "Picture1", RGB(255, 255, 255));
    Picture1->setGeometry(-1, -1, 167, 96);
    lblcolor0 = new forms::Label(Picture1);
    lblcolor0->setObjectName(QStringLiteral("lblcolor_0"));
    lblcolor0->setGeometry(3, 5, 20, 20);
    auto button = [this](const char* name, const QString& caption, QRect r) {
        auto* b = new QPushButton(caption, PicColor);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->setFont(uiFont(9));
        return b;
    };
    cmdanother = button("cmdanother", QStringLiteral("..."), {9, 97, 40, 25});
    cmdbasic = button("cmdbasic", QStringLiteral("기본색"), {49, 97, 55, 25});
    cmdcolorcancel = button("cmdcolorcancel", QStringLiteral("취소"), {104, 97, 40, 25});
    PicColor->hide();
}

void Frm_TxtViewer::createSplashPanel() {
    PicSplash = makeBox(this, "PicSplash", RGB(255, 255, 255));
    const QImage splash = designPicture(QStringLiteral("splash.bmp"));
    PicSplash->setGeometry(0, 0, 447, 85);
    PicSplash->setPicture(splash);
    Label1 = new forms::Label(PicSplash);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(128, 31, 176, 12);
    Label1->setFont(uiFont(9));
    Label1->setTransparent(true);
    Label1->setCaption(QStringLiteral("초기화...페이지를 생성중입니다."));
    Sh_Barback = new forms::Shape(PicSplash);
    Sh_Barback->setObjectName(QStringLiteral("Sh_Barback"));
    Sh_Barback->setGeometry(7, 49, 430, 13);
    Sh_Barback->setBorderColor(RGB(128, 120, 112));
    Sh_Barback->setBackColor(RGB(255, 255, 255));
    Sh_Barback->setOpaque(true);
    Sh_Bar = new forms::Shape(PicSplash);
    Sh_Bar->setObjectName(QStringLiteral("Sh_Bar"));
    Sh_Bar->setGeometry(9, 51, 1, 10);
    Sh_Bar->setBorderVisible(false);
    Sh_Bar->setBackColor(RGB(150, 52, 36));
    Sh_Bar->setOpaque(true);
    PicSplash->hide();
}

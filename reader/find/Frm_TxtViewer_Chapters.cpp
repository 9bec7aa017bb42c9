// The chapter list (목차): the book's heading lines with the pages they are on in the current
// layout (Ctrl+T, or 목차 in the pages' context menu). Headings are found once per book and
// kept as text positions; their pages are counted again whenever the list is shown or the
// book is laid out anew.

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>
#include <climits>

#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "pages/Bookmark.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"
#include "window/UiFont.h"

void Frm_TxtViewer::createChapterPanel() {
    PicChapter = new forms::PictureBox(this);
    PicChapter->setObjectName(QStringLiteral("PicChapter"));
    PicChapter->setBackColor(gdi::RGB(239, 239, 239));
    PicChapter->setGeometry(0, 0, 300, 330);
    PicChapter->setPicture(designPicture(QStringLiteral("bg_chapters.bmp")));
    LstChapter = new QTreeWidget(PicChapter);
    LstChapter->setObjectName(QStringLiteral("LstChapter"));
    LstChapter->setGeometry(5, 29, 289, 258);
    LstChapter->setFont(uiFont(10));
    LstChapter->setFrameShape(QFrame::NoFrame);
    LstChapter->setColumnCount(2);
    LstChapter->setHeaderHidden(true);
    LstChapter->setRootIsDecorated(false);
    LstChapter->setUniformRowHeights(true);
    LstChapter->setAllColumnsShowFocus(true);
    LstChapter->header()->setStretchLastSection(false);
    LstChapter->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    LstChapter->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    lblChapterNone = new forms::Label(PicChapter);
    lblChapterNone->setObjectName(QStringLiteral("lblChapterNone"));
    lblChapterNone->setGeometry(5, 29, 289, 258);
    lblChapterNone->setFont(uiFont(10));
    lblChapterNone->setBackColor(gdi::RGB(255, 255, 255));
    lblChapterNone->setAlignment(Qt::AlignCenter);
    lblChapterNone->setCaption(QStringLiteral("목차가 없습니다"));
    lblChapterNone->hide();
    CmdChapterOk = new forms::Image(PicChapter);
    CmdChapterOk->setObjectName(QStringLiteral("CmdChapterOk"));
    CmdChapterOk->setGeometry(90, 292, 61, 36);
    CmdChapterOk->setToolTip(QStringLiteral("확인"));
    CmdChapterCancel = new forms::Image(PicChapter);
    CmdChapterCancel->setObjectName(QStringLiteral("CmdChapterCancel"));
    CmdChapterCancel->setGeometry(151, 292, 61, 36);
    CmdChapterCancel->setToolTip(QStringLiteral("취소"));
    PicChapter->hide();
}

void Frm_TxtViewer::wireChapters() {
    mnu_chapters = new QAction(QStringLiteral("목차(Ctrl+T)"), this);
    mnu_chapters->setObjectName(QStringLiteral("mnu_chapters"));
    mnu_chapters->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    mnu_chapters->setShortcutContext(Qt::WindowShortcut);
    mnu_chapters->setShortcutVisibleInContextMenu(false);
    addAction(mnu_chapters);
    connect(mnu_chapters, &QAction::triggered, this, [this] { openChapterList(); });
    PageMenu->addAction(mnu_chapters);
    // The archive list's buttons: 확인 acts on the press, 취소 closes.
    wireButton(CmdChapterOk, QStringLiteral("b_listv_ok.bmp"), QStringLiteral("b_listv_ok_down.bmp"),
               Press::ActOnPress, [this] { showChosenChapter(); });
    connect(CmdChapterCancel, &forms::Image::mouseDown, this, [this](int button, int, int, int) {
        if (button == 1) closeChapterList();
    });
    connect(LstChapter, &QTreeWidget::itemDoubleClicked, this, [this] { showChosenChapter(); });
}

const std::vector<chapters::Heading>& Frm_TxtViewer::bookHeadings() {
    if (!m_headings) {
        m_headings = DocumentLength != 0 ? chapters::findHeadings(DocumentText)
                                         : std::vector<chapters::Heading>();
    }
    return *m_headings;
}

int32_t Frm_TxtViewer::pageOfPosition(int32_t position) const {
    return RichTextBox1->lineFromChar(position) / std::max(1, LinesPerPage) + 1;
}

void Frm_TxtViewer::fillChapterPages() {
    const std::vector<chapters::Heading>& headings = bookHeadings();
    if (LstChapter->topLevelItemCount() != int(headings.size())) {
        LstChapter->clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(qsizetype(headings.size()));
        for (const chapters::Heading& h : headings) {
            auto* item = new QTreeWidgetItem({h.title, QString()});
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            items << item;
        }
        LstChapter->addTopLevelItems(items);
    }
    for (int i = 0; i < int(headings.size()); ++i)
        LstChapter->topLevelItem(i)->setText(
            1, QString::number(pageOfPosition(headings[size_t(i)].position)));
}

void Frm_TxtViewer::openChapterList() {
    const std::vector<chapters::Heading>& headings = bookHeadings();
    fillChapterPages();
    const bool none = headings.empty();
    LstChapter->setVisible(!none);
    lblChapterNone->setVisible(none);
    CmdChapterOk->setEnabled(!none);
    if (!none) {
        // The chapter on screen: the last whose heading starts before the spread ends.
        const int end = RichTextBox1->lineIndex((CurrentPage + 1) * LinesPerPage);
        const int row = chapters::headingOnScreen(headings, end < 0 ? INT64_MAX : end);
        QTreeWidgetItem* item = LstChapter->topLevelItem(row);
        LstChapter->setCurrentItem(item);
        LstChapter->scrollToItem(item, QAbstractItemView::PositionAtCenter);
    }
    placeFindPanels();
    PicChapter->show();
    PicChapter->raise();
    if (none)
        PicChapter->setFocus(Qt::ShortcutFocusReason);
    else
        LstChapter->setFocus(Qt::ShortcutFocusReason);
}

void Frm_TxtViewer::closeChapterList() {
    const bool hadFocus = PicChapter->isAncestorOf(QApplication::focusWidget()) ||
                          QApplication::focusWidget() == PicChapter;
    PicChapter->hide();
    if (hadFocus) PicRead[0]->setFocus(Qt::OtherFocusReason);
}

void Frm_TxtViewer::showChosenChapter() {
    const std::vector<chapters::Heading>& headings = bookHeadings();
    const int row = LstChapter->indexOfTopLevelItem(LstChapter->currentItem());
    if (row < 0 || row >= int(headings.size()) || PageCount <= 0) return;
    const int32_t position = headings[size_t(row)].position;
    closeChapterList();
    // As the bookmark is followed: the spread holding the heading's line, turned to.
    ImageScrollBar1.setValue(
        bookmark::spreadOfLine(RichTextBox1->lineFromChar(position), LinesPerPage));
}

// The chapter list (목차): the book's heading lines with the pages they are on in the current
// layout; Enter, a double click or 확인 asks for the chosen chapter's first spread.

#include "find/ChapterPanel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>

#include "find/PanelHost.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/UiFont.h"

namespace {
constexpr int kLeftButton = 1;
}

ChapterPanel::ChapterPanel(PanelHost& host, QWidget* parent)
    : forms::PictureBox(parent), m_host(host) {
    setObjectName(QStringLiteral("PicChapter"));
    setBackColor(gdi::RGB(239, 239, 239));
    setGeometry(0, 0, 300, 330);
    setPicture(m_host.designPicture(QStringLiteral("bg_chapters.bmp")));
    createControls();
    hide();
    wireControls();
}

ChapterPanel::~ChapterPanel() = default;

void ChapterPanel::createControls() {
    LstChapter = new QTreeWidget(this);
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
    lblChapterNone = new forms::Label(this);
    lblChapterNone->setObjectName(QStringLiteral("lblChapterNone"));
    lblChapterNone->setGeometry(5, 29, 289, 258);
    lblChapterNone->setFont(uiFont(10));
    lblChapterNone->setBackColor(gdi::RGB(255, 255, 255));
    lblChapterNone->setAlignment(Qt::AlignCenter);
    lblChapterNone->setCaption(QStringLiteral("목차가 없습니다"));
    lblChapterNone->hide();
    CmdChapterOk = new forms::Image(this);
    CmdChapterOk->setObjectName(QStringLiteral("CmdChapterOk"));
    CmdChapterOk->setGeometry(90, 292, 61, 36);
    CmdChapterOk->setToolTip(QStringLiteral("확인"));
    CmdChapterCancel = new forms::Image(this);
    CmdChapterCancel->setObjectName(QStringLiteral("CmdChapterCancel"));
    CmdChapterCancel->setGeometry(151, 292, 61, 36);
    CmdChapterCancel->setToolTip(QStringLiteral("취소"));
}

void ChapterPanel::wireControls() {
    // As the archive list's buttons: 확인 acts on the press and looks pressed until it has
    // acted, 취소 closes.
    connect(CmdChapterOk, &forms::Image::mouseDown, this, [this](int button, int, int, int) {
        if (button != kLeftButton) return;
        CmdChapterOk->setPicture(m_host.skinPicture(QStringLiteral("b_listv_ok_down.bmp")));
        showChosen();
        CmdChapterOk->setPicture(m_host.skinPicture(QStringLiteral("b_listv_ok.bmp")));
    });
    connect(CmdChapterCancel, &forms::Image::mouseDown, this, [this](int button, int, int, int) {
        if (button == kLeftButton) close();
    });
    connect(LstChapter, &QTreeWidget::itemDoubleClicked, this, [this] { showChosen(); });
}

void ChapterPanel::loadSkinPictures() {
    CmdChapterOk->setPicture(m_host.skinPicture(QStringLiteral("b_listv_ok.bmp")));
    CmdChapterCancel->setPicture(m_host.skinPicture(QStringLiteral("b_listv_cancel.bmp")));
}

const std::vector<chapters::Heading>& ChapterPanel::headings() {
    if (!m_headings) {
        m_headings = m_host.hasBook() ? chapters::findHeadings(m_host.bookText())
                                      : std::vector<chapters::Heading>();
    }
    return *m_headings;
}

void ChapterPanel::fillPages() {
    const std::vector<chapters::Heading>& list = headings();
    if (LstChapter->topLevelItemCount() != int(list.size())) {
        LstChapter->clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(qsizetype(list.size()));
        for (const chapters::Heading& h : list) {
            auto* item = new QTreeWidgetItem({h.title, QString()});
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            items << item;
        }
        LstChapter->addTopLevelItems(items);
    }
    for (int i = 0; i < int(list.size()); ++i)
        LstChapter->topLevelItem(i)->setText(
            1, QString::number(m_host.pageOfPosition(list[size_t(i)].position)));
}

void ChapterPanel::layoutChanged() {
    if (!isHidden()) fillPages();
}

void ChapterPanel::forgetBook() {
    m_headings.reset();
    if (!isHidden()) close();
}

void ChapterPanel::open() {
    const std::vector<chapters::Heading>& list = headings();
    fillPages();
    const bool none = list.empty();
    LstChapter->setVisible(!none);
    lblChapterNone->setVisible(none);
    CmdChapterOk->setEnabled(!none);
    if (!none) {
        // The chapter on screen: the last whose heading starts before the spread ends.
        const int row = chapters::headingOnScreen(list, m_host.spreadEnd());
        QTreeWidgetItem* item = LstChapter->topLevelItem(row);
        LstChapter->setCurrentItem(item);
        LstChapter->scrollToItem(item, QAbstractItemView::PositionAtCenter);
    }
    show();
    raise();
    if (none)
        setFocus(Qt::ShortcutFocusReason);
    else
        LstChapter->setFocus(Qt::ShortcutFocusReason);
}

void ChapterPanel::close() {
    const bool hadFocus =
        isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == this;
    hide();
    emit closed(hadFocus);
}

void ChapterPanel::showChosen() {
    const std::vector<chapters::Heading>& list = headings();
    const int row = LstChapter->indexOfTopLevelItem(LstChapter->currentItem());
    if (row < 0 || row >= int(list.size()) || m_host.pageCount() <= 0) return;
    const int32_t position = list[size_t(row)].position;
    close();
    // As the bookmark is followed: the spread holding the heading's line.
    emit spreadWanted(m_host.spreadOfPosition(position));
}

bool ChapterPanel::enterKey(QObject* watched, QEvent* event) {
    if (watched != LstChapter) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    // The list closes on the key's release: released on a page, Enter would turn it.
    if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat()) showChosen();
    return true;
}

#include "find/FindPanels.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>
#include <algorithm>

#include "find/ChapterPanel.h"
#include "find/FindBar.h"

namespace {

// A context-menu command of the pages with its key, shown without the key in the menu.
QAction* pageCommand(QWidget* window, QMenu* menu, const char* name, const QString& text,
                     const QKeySequence& key) {
    auto* action = new QAction(text, window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(false);
    window->addAction(action);
    menu->addAction(action);
    return action;
}

}  // namespace

FindPanels::FindPanels(std::unique_ptr<PanelHost> host, QWidget* window, QMenu* menu)
    : QObject(window),
      m_host(std::move(host)),
      m_window(window),
      m_find(new FindBar(*m_host, window)),
      m_chapters(new ChapterPanel(*m_host, window)) {
    addCommands(menu);
    connect(m_find, &FindBar::spreadWanted, this, &FindPanels::matchWanted);
    connect(m_find, &FindBar::marksChanged, this, &FindPanels::marksChanged);
    connect(m_chapters, &ChapterPanel::spreadWanted, this, &FindPanels::chapterWanted);
    auto giveBack = [this](bool hadKeyboard) {
        if (hadKeyboard) emit keyboardReturned();
    };
    connect(m_find, &FindBar::closed, this, giveBack);
    connect(m_chapters, &ChapterPanel::closed, this, giveBack);
}

FindPanels::~FindPanels() {
    // The panels go before the host they ask.
    delete m_find;
    delete m_chapters;
}

void FindPanels::addCommands(QMenu* menu) {
    QAction* find = pageCommand(m_window, menu, "mnu_find", QStringLiteral("찾기(Ctrl+F)"),
                                QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(find, &QAction::triggered, this, [this] { openFindBar(); });
    const std::pair<QKeySequence, int> repeats[] = {{QKeySequence(Qt::Key_F3), 1},
                                                    {QKeySequence(Qt::SHIFT | Qt::Key_F3), -1}};
    for (const auto& [key, direction] : repeats) {
        auto* again = new QAction(m_window);
        again->setShortcut(key);
        again->setShortcutContext(Qt::WindowShortcut);
        m_window->addAction(again);
        connect(again, &QAction::triggered, this, [this, d = direction] {
            if (m_find->isHidden() && m_find->canStep()) openFindBar();
            m_find->step(d);
        });
    }
    QAction* list = pageCommand(m_window, menu, "mnu_chapters", QStringLiteral("목차(Ctrl+T)"),
                                QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(list, &QAction::triggered, this, [this] { openChapterList(); });
}

void FindPanels::place(int top) {
    m_top = top;
    const int width = m_window->width(), height = m_window->height();
    // The bar lies over the frame and the pages' heads, above the first line of text.
    m_find->move(std::max(0, (width - m_find->width()) / 2), top + 2);
    m_chapters->move(std::max(0, (width - m_chapters->width()) / 2),
                     std::max(top, (height - m_chapters->height()) / 2));
}

void FindPanels::openFindBar() {
    place(m_top);
    m_find->open();
}

void FindPanels::openChapterList() {
    place(m_top);
    m_chapters->open();
}

void FindPanels::forgetBook() {
    m_find->forgetBook();
    m_chapters->forgetBook();
}

bool FindPanels::key(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::KeyRelease) || !m_window->isEnabled()) return false;
    if (m_find->enterKey(watched, event) || m_chapters->enterKey(watched, event)) return true;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!press || key->key() != Qt::Key_Escape) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window || (widget->windowFlags() & Qt::Popup))
        return false;
    if (!m_chapters->isHidden()) {
        m_chapters->close();
        return true;
    }
    if (!m_find->isHidden()) {
        m_find->close();
        return true;
    }
    return false;
}

#pragma once
// Dialogs for tests: answers come from queues filled beforehand, and everything shown is
// recorded. An empty queue gives the "cancel" answer.

#include <QList>
#include <deque>

#include "dialogs/Dialogs.h"

namespace dlg {

class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind;  // "msgbox", "open", "color", "browser", "process"
        QString text;  // prompt, filter, url or program
        QString title;
        int style = 0;
        QStringList args;
    };

    void answerMsgBox(int answer) { m_msgAnswers.push_back(answer); }
    void answerOpen(const QString& path) { m_openAnswers.push_back(path); }
    void answerColor(std::optional<gdi::COLORREF> c) { m_colorAnswers.push_back(c); }
    void setBrowserWorks(bool works) { m_browserWorks = works; }

    const QList<Shown>& shown() const { return m_shown; }
    QList<Shown> shownOf(const QString& kind) const;
    void clear() { m_shown.clear(); }

    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString ShowOpen(const QString& filter, const QString& title,
                     const QString& initialDir) override;
    std::optional<gdi::COLORREF> ShowColor(gdi::COLORREF initial) override;
    bool OpenBrowser(const QString& url) override;
    bool StartProcess(const QString& program, const QStringList& args) override;

private:
    std::deque<int> m_msgAnswers;
    std::deque<QString> m_openAnswers;
    std::deque<std::optional<gdi::COLORREF>> m_colorAnswers;
    bool m_browserWorks = true;
    QList<Shown> m_shown;
};

}  // namespace dlg

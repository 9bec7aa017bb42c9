#pragma once
// The window's dialogs: every box and dialog first takes down the progress panel, so no
// message is ever shown with "building the pages" still standing behind it.

#include <functional>
#include <utility>

#include "dialogs/Dialogs.h"

class PanelFirstDialogs : public dlg::Dialogs {
public:
    PanelFirstDialogs(dlg::Dialogs& inner, std::function<void()> before)
        : m_inner(inner), m_before(std::move(before)) {}

    int MsgBox(const QString& prompt, int style, const QString& title) override {
        m_before();
        return m_inner.MsgBox(prompt, style, title);
    }
    QString ShowOpen(const QString& filter, const QString& title,
                     const QString& initialDir) override {
        m_before();
        return m_inner.ShowOpen(filter, title, initialDir);
    }
    std::optional<gdi::COLORREF> ShowColor(gdi::COLORREF initial) override {
        m_before();
        return m_inner.ShowColor(initial);
    }
    bool OpenBrowser(const QString& url) override { return m_inner.OpenBrowser(url); }
    bool StartProcess(const QString& program, const QStringList& args) override {
        return m_inner.StartProcess(program, args);
    }

private:
    dlg::Dialogs& m_inner;
    std::function<void()> m_before;
};

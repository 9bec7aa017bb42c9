#include "dialogs/ScriptedDialogs.h"

namespace dlg {

QList<ScriptedDialogs::Shown> ScriptedDialogs::shownOf(const QString& kind) const {
    QList<Shown> out;
    for (const Shown& s : m_shown)
        if (s.kind == kind) out << s;
    return out;
}

int ScriptedDialogs::MsgBox(const QString& prompt, int style, const QString& title) {
    m_shown << Shown{QStringLiteral("msgbox"), prompt, title, style, {}};
    if (!m_msgAnswers.empty()) {
        const int answer = m_msgAnswers.front();
        m_msgAnswers.pop_front();
        return answer;
    }
    // What closing the box without a choice gives.
    switch (style & 7) {
        case vbOKOnly:
            return vbOK;
        case vbYesNo:
            return vbNo;
        default:
            return vbCancel;
    }
}

QString ScriptedDialogs::ShowOpen(const QString& filter, const QString& title,
                                  const QString& initialDir) {
    m_shown << Shown{QStringLiteral("open"), filter, title, 0, {initialDir}};
    if (m_openAnswers.empty()) return QString();
    const QString path = m_openAnswers.front();
    m_openAnswers.pop_front();
    return path;
}

std::optional<gdi::COLORREF> ScriptedDialogs::ShowColor(gdi::COLORREF initial) {
    // The initial colour is kept in style, where a test can compare it as a number.
    m_shown << Shown{QStringLiteral("color"), QString(), QString(), int(initial), {}};
    if (m_colorAnswers.empty()) return std::nullopt;
    const std::optional<gdi::COLORREF> c = m_colorAnswers.front();
    m_colorAnswers.pop_front();
    return c;
}

bool ScriptedDialogs::OpenBrowser(const QString& url) {
    m_shown << Shown{QStringLiteral("browser"), url, QString(), 0, {}};
    return m_browserWorks;
}

bool ScriptedDialogs::StartProcess(const QString& program, const QStringList& args) {
    m_shown << Shown{QStringLiteral("process"), program, QString(), 0, args};
    return true;
}

}  // namespace dlg

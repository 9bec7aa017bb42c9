#pragma once
// Everything that asks the user or reaches outside the program goes through one interface, so
// every flow can be driven by scripted answers in tests.

#include <QString>
#include <QStringList>
#include <optional>

#include "graphics/Gdi.h"

class QWidget;

namespace dlg {

// Message box styles and answers, with the classic values.
enum Style : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum Answer : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows prompt with the buttons and icon of style; returns the answer (vbCancel or vbNo
    // when the box is closed without a choice, vbOK for an OK-only box).
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;
    // The open-file dialog. filter is "Label|patterns|Label|patterns|"; returns the chosen path
    // or "" when cancelled.
    virtual QString ShowOpen(const QString& filter, const QString& title,
                             const QString& initialDir) = 0;
    // The colour dialog; nothing when cancelled.
    virtual std::optional<gdi::COLORREF> ShowColor(gdi::COLORREF initial) = 0;
    // Opens url in the user's browser; false when no browser could be started.
    virtual bool OpenBrowser(const QString& url) = 0;
    // Starts program without waiting; false when it could not be started.
    virtual bool StartProcess(const QString& program, const QStringList& args) = 0;
};

// Converts "Label|*.a;*.b|Label2|*.c|" into Qt's "Label (*.a *.b);;Label2 (*.c)".
QString qtFilter(const QString& classicFilter);

// The real dialogs, parented to a window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString ShowOpen(const QString& filter, const QString& title,
                     const QString& initialDir) override;
    std::optional<gdi::COLORREF> ShowColor(gdi::COLORREF initial) override;
    bool OpenBrowser(const QString& url) override;
    bool StartProcess(const QString& program, const QStringList& args) override;

private:
    QWidget* m_parent;
};

}  // namespace dlg

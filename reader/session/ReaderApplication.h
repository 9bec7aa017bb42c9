#pragma once
// The application object: an exception thrown out of an event handler ends that handler, never
// the program. The user is told, and the book on screen, its place and the state files stay.

#include <QApplication>
#include <QString>
#include <functional>

namespace dlg {
class Dialogs;
}

class ReaderApplication : public QApplication {
public:
    ReaderApplication(int& argc, char** argv);
    // Where the message goes; nothing is said while none is set.
    void setDialogs(dlg::Dialogs* dialogs) { m_dialogs = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

    // Runs deliver; an exception it throws is caught and described to tell (false returned).
    static bool guarded(const std::function<bool()>& deliver,
                        const std::function<void(const QString&)>& tell);

private:
    dlg::Dialogs* m_dialogs = nullptr;
    bool m_telling = false;
};

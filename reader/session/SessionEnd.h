#pragma once
// The ways a session ends other than a close of the window: SIGTERM (logout, shutdown, systemd),
// SIGHUP (the terminal went away), SIGINT (Ctrl+C), the session manager's end of session, and a
// lost display connection (the platform then ends the process through exit()). Each of them
// runs the handler the window gives, so the state files are written and the extract folder
// emptied as at a close.

#include <QObject>
#include <functional>

class QSocketNotifier;

class SessionEnd : public QObject {
    Q_OBJECT
public:
    // endSession runs on the UI thread for a signal or a quit; lastChance runs from exit()
    // when the process ends without returning from the event loop, and must not touch the
    // display. Each runs at most once, and never after the other.
    // save writes the state files and keeps the reader going (the session manager may still
    // cancel a logout).
    SessionEnd(std::function<void()> endSession, std::function<void()> save,
               std::function<void()> lastChance, QObject* parent = nullptr);
    ~SessionEnd() override;

    // The signal numbers caught (for tests).
    static const int kSignals[3];

private:
    void onSignal();

    std::function<void()> m_endSession;
    std::function<void()> m_save;
    QSocketNotifier* m_notifier = nullptr;
};

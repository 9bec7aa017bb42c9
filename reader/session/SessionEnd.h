#pragma once
// The ways a session ends other than a close of the window: SIGTERM (logout, shutdown, systemd),
// SIGHUP (the terminal went away), SIGINT (Ctrl+C), the session manager's end of session, and a
// lost display connection (the platform then ends the process through exit()).
//
// A signal only asks the application to quit: the window is told at once (it takes what it will
// write, the state settled last if this is no settled moment), every event loop is asked to
// return, and the unload runs once, from main, after the last box, count or turn under way has
// unwound. A second SIGTERM or SIGINT while the first still waits for that ends the process at
// once, as it would without us.

#include <QObject>
#include <functional>

class QSocketNotifier;

class SessionEnd : public QObject {
    Q_OBJECT
public:
    // requested runs on the UI thread, once, when an end is asked for (wherever the event loop
    // is); save writes the state files and keeps the reader going (the session manager may
    // still cancel a logout); lastChance runs from exit() when the process ends without
    // returning to main, and must not touch the display.
    SessionEnd(std::function<void()> requested, std::function<void()> save,
               std::function<void()> lastChance, QObject* parent = nullptr);
    ~SessionEnd() override;

    // Asks for the end: requested runs (once) and every running event loop returns.
    void request();
    // Whether an end was asked for: main then neither shows the window nor runs the loop.
    bool ending() const { return m_ending; }
    // The unload has run: nothing is left for exit() to do.
    void ended();

    // The signal numbers caught (for tests).
    static const int kSignals[3];

private:
    void onSignal();

    std::function<void()> m_requested;
    std::function<void()> m_save;
    bool m_ending = false;
    QSocketNotifier* m_notifier = nullptr;
};

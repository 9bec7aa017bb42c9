#include "session/SessionEnd.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

const int SessionEnd::kSignals[3] = {SIGTERM, SIGHUP, SIGINT};

namespace {

// The write end of the pipe the signal handler wakes the event loop through; a handler may
// only do async-signal-safe things, so it writes one byte and the loop does the rest.
int g_signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_asked = 0;
std::function<void()>* g_lastChance = nullptr;
bool g_ended = false;

void onSignalHandler(int signal) {
    // The first end is still waiting for the loop (a blocked call, a long count): a second
    // TERM or INT is the user insisting, and ends the process as if nobody caught it.
    if (g_asked && (signal == SIGTERM || signal == SIGINT)) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    g_asked = 1;
    const char byte = char(signal);
    const int saved = errno;
    if (g_signalPipe[1] >= 0) (void)!::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void atExit() {
    if (g_ended || !g_lastChance) return;
    g_ended = true;
    (*g_lastChance)();
}

}  // namespace

SessionEnd::SessionEnd(std::function<void()> requested, std::function<void()> save,
                       std::function<void()> lastChance, QObject* parent)
    : QObject(parent), m_requested(std::move(requested)), m_save(std::move(save)) {
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(atExit);
    }
    g_lastChance = new std::function<void()>(std::move(lastChance));
    g_ended = false;
    g_asked = 0;
    if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe))
        g_signalPipe[0] = g_signalPipe[1] = -1;
    if (g_signalPipe[0] >= 0) {
        ::fcntl(g_signalPipe[0], F_SETFL, O_NONBLOCK);
        ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
        // A byte left from an earlier life of this object is nobody's request.
        char stale = 0;
        while (::read(g_signalPipe[0], &stale, 1) == 1) {
        }
        m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::onSignal);
        struct sigaction action {};
        action.sa_handler = onSignalHandler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int s : kSignals) ::sigaction(s, &action, nullptr);
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
            if (!g_ended && m_save) m_save();
        });
    }
}

SessionEnd::~SessionEnd() {
    // From here the window is gone: nothing is left to save at exit, and a signal ends the
    // process as it would without us.
    for (int s : kSignals) ::signal(s, SIG_DFL);
    delete g_lastChance;
    g_lastChance = nullptr;
}

void SessionEnd::request() {
    g_asked = 1;
    if (!m_ending) {
        m_ending = true;
        if (m_requested) m_requested();
    }
    // Every loop running returns (a box answers nothing), and a new one returns at once.
    QCoreApplication::exit(0);
}

void SessionEnd::ended() {
    g_ended = true;
}

void SessionEnd::onSignal() {
    char byte = 0;
    bool any = false;
    while (::read(g_signalPipe[0], &byte, 1) == 1) any = true;
    if (any && !g_ended) request();
}

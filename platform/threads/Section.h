#pragma once
// A stretch of work shared with one helper thread. The helper's body runs under a catch: what
// it throws is handed to the caller by join(). The thread is joined on every path, an
// exception on the caller's side included; before that join the section calls its stop, which
// must make the body end soon (wake it, answer what it waits for, tell it to give up). Where
// no thread can be had, start() says so and the caller does the work on its own thread.

#include <exception>
#include <functional>
#include <thread>

namespace threads {

class Section {
public:
    explicit Section(std::function<void()> stop = {});
    // Joins a thread still running (stop first); an exception it threw that join() did not
    // hand over is dropped, since the caller is already leaving with its own.
    ~Section();
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    // Runs body on a thread of its own; false when no thread could be started (body not run).
    bool start(std::function<void()> body);
    bool started() const { return m_thread.joinable(); }
    // Waits for the body to end and rethrows what it threw; nothing when it never started.
    void join();

private:
    std::function<void()> m_stop;
    std::function<void()> m_body;
    std::exception_ptr m_failed;
    std::thread m_thread;
};

}  // namespace threads

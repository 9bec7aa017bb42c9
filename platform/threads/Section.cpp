#include "threads/Section.h"

#include <utility>

namespace threads {

Section::Section(std::function<void()> stop) : m_stop(std::move(stop)) {}

Section::~Section() {
    if (!m_thread.joinable()) return;
    try {
        if (m_stop) m_stop();
    } catch (...) {
        // The stop could not run in full; the body ends on its own, and the caller is leaving.
    }
    m_thread.join();
}

bool Section::start(std::function<void()> body) {
    if (m_thread.joinable()) return false;
    m_body = std::move(body);
    m_failed = nullptr;
    try {
        m_thread = std::thread([this] {
            try {
                m_body();
            } catch (...) {
                m_failed = std::current_exception();
            }
        });
    } catch (...) {
        // No thread to be had (system_error), or not the memory to start one.
        return false;
    }
    return true;
}

void Section::join() {
    if (m_thread.joinable()) m_thread.join();
    if (std::exception_ptr failed = std::exchange(m_failed, nullptr)) std::rethrow_exception(failed);
}

}  // namespace threads

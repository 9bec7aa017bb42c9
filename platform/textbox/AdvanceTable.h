#pragma once
// Advances of one font per character, measured once and then looked up: the line breaker asks for
// every character of a whole book on each re-wrap.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <atomic>
#include <cstdint>
#include <memory>

namespace textbox {

class AdvanceTable {
public:
    // Advances are in 1/64 pixel, so sums are exact and two boxes that sum the same characters
    // always agree.
    static constexpr int kUnit = 64;

    explicit AdvanceTable(const QFont& font);

    // The shared table of a font; the last few fonts stay cached, so switching back is free.
    static std::shared_ptr<AdvanceTable> forFont(const QFont& font);

    const QFont& font() const { return m_font; }

    // The advance of a BMP character; a tab is four spaces.
    int32_t bmp(char16_t c) {
        const int32_t a = m_bmp[c];
        return a >= 0 ? a : measureBmp(c);
    }
    // What the line breaker's common path needs of a BMP character: for one measured and plain
    // (of no class) or a blank, its advance, with kFastBlank set for a blank; else kOffFast
    // (another kind, not measured yet, or wider than kFastBlank units). Safe on another thread,
    // as measured() is.
    static constexpr uint16_t kFastBlank = 0x8000, kOffFast = 0xFFFF;
    uint16_t fast(char16_t c) const {
        return uint16_t(std::atomic_ref<uint16_t>(m_fast[c]).load(std::memory_order_relaxed) - 1);
    }
    // The advance of a character outside the BMP.
    int32_t astral(char32_t cp);
    // The advance of a BMP character if it has been measured, else -1; safe on another thread
    // while this one measures (only this table's thread measures).
    int32_t measured(char16_t c) const {
        return std::atomic_ref<int32_t>(m_bmp[c]).load(std::memory_order_relaxed);
    }

private:
    int32_t measureBmp(char16_t c);
    int32_t measure(const QString& s) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    std::unique_ptr<int32_t[]> m_bmp;  // -1 until measured
    std::unique_ptr<uint16_t[]> m_fast;  // fast(c) + 1: 0 until measured
    QHash<char32_t, int32_t> m_astral;
};

}  // namespace textbox

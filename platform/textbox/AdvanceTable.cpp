#include "textbox/AdvanceTable.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "textbox/CharClass.h"

namespace textbox {

namespace {
// Two fonts are in use at a time (the page font before and after a change); a few more cost
// 256 KiB each.
constexpr size_t kCachedFonts = 6;
}  // namespace

AdvanceTable::AdvanceTable(const QFont& font)
    : m_font(font), m_metrics(font), m_bmp(new int32_t[0x10000]), m_fast(new uint16_t[0x10000]()) {
    std::fill_n(m_bmp.get(), 0x10000, -1);
}

std::shared_ptr<AdvanceTable> AdvanceTable::forFont(const QFont& font) {
    // ASSUMPTION: one thread (the UI thread) uses the boxes and measures; a wrap's second thread
    // only reads measured advances and asks the UI thread for the rest. Never destroyed, so no
    // font outlives the application object in a static destructor.
    static auto* cache = new std::vector<std::shared_ptr<AdvanceTable>>;
    auto it = std::find_if(cache->begin(), cache->end(),
                           [&](const auto& table) { return table->font() == font; });
    if (it != cache->end()) {
        std::rotate(cache->begin(), it, it + 1);
        return cache->front();
    }
    cache->insert(cache->begin(), std::make_shared<AdvanceTable>(font));
    if (cache->size() > kCachedFonts) cache->pop_back();
    return cache->front();
}

int32_t AdvanceTable::measure(const QString& s) const {
    return int32_t(std::lround(m_metrics.horizontalAdvance(s) * kUnit));
}

int32_t AdvanceTable::measureBmp(char16_t c) {
    int32_t a;
    if (c == u'\t')
        a = 4 * bmp(u' ');
    else if (c == u'\r' || c == u'\n')
        a = 0;
    else
        a = std::max(0, measure(QString(QChar(c))));
    // Atomic: the second wrapping thread may be reading the table meanwhile (see measured()).
    std::atomic_ref<int32_t>(m_bmp[c]).store(a, std::memory_order_relaxed);
    const uint8_t k = charclass::bmpTable()[c];
    if ((k & ~charclass::kBlank) == 0 && a < kFastBlank)
        std::atomic_ref<uint16_t>(m_fast[c]).store(uint16_t((a | (k ? kFastBlank : 0)) + 1),
                                                   std::memory_order_relaxed);
    return a;
}

int32_t AdvanceTable::astral(char32_t cp) {
    auto it = m_astral.constFind(cp);
    if (it != m_astral.constEnd()) return *it;
    const int32_t a = std::max(0, measure(QString::fromUcs4(&cp, 1)));
    m_astral.insert(cp, a);
    return a;
}

}  // namespace textbox

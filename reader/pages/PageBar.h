#pragma once
// The page bar ImageScrollBar1: the hosted picture scroll bar that carries the reading
// position. When the control library cannot be loaded the reader still runs: the bar then
// keeps Min, Max, Value and Enabled itself, clamps and raises Change the same way, and
// simply is not seen.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace controls {
class HostedControl;
}
namespace dlg {
class Dialogs;
}

class PageBar {
public:
    PageBar();
    ~PageBar();

    // Loads the control from library into parent and restores its saved design properties.
    // Returns "" on success, else what went wrong (the bar then works without a control).
    QString create(const QString& library, QWidget* parent, dlg::Dialogs& dialogs);
    bool hosted() const { return m_control != nullptr; }
    // The control's widget, or nullptr.
    QWidget* widget() const;

    // Raised on every set of Value and when the user moves the bar.
    std::function<void()> onChange;

    void setMin(int32_t v);
    void setMax(int32_t v);
    void setValue(int32_t v);
    int32_t value() const;
    void setEnabled(bool on);
    bool enabled() const;
    // The start-up settings of the reader's skinned bar, pictures from skinDir.
    void applySkin(const QString& skinDir, qreal ratio);
    // The bar's pictures again, drawn for a screen of another ratio.
    void applyPictures(const QString& skinDir, qreal ratio);
    void moveTo(int x, int y);

private:
    std::unique_ptr<controls::HostedControl> m_control;
    int32_t m_min = 1, m_max = 1, m_value = 1;
    bool m_enabled = false;
};

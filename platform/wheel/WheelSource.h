#pragma once
// The mouse-wheel source over one window: one event per wheel movement over that window or
// any of its children, with a signed amount (positive away from the user).

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace wheel {

class WheelSource : public QObject {
    Q_OBJECT
public:
    explicit WheelSource(QObject* parent = nullptr);

    // The window whose wheel turns are reported; nullptr stops reporting.
    void setWindow(QWidget* window);
    QWidget* window() const { return m_window; }

signals:
    void wheelTurned(int amount);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};

}  // namespace wheel

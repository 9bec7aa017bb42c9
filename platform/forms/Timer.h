#pragma once
// A one-shot timer with the classic Enabled / Interval / Tag shape: enabling arms it, it
// fires once and disarms itself before its handler runs.

#include <QObject>
#include <QString>
#include <QTimer>

namespace forms {

class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject* parent = nullptr);

    void setInterval(int ms);
    int interval() const { return m_timer.interval(); }
    void setEnabled(bool on);
    bool enabled() const { return m_timer.isActive(); }
    void setTag(const QString& tag) { m_tag = tag; }
    const QString& tag() const { return m_tag; }

signals:
    void timeout();

private:
    QTimer m_timer;
    QString m_tag;
};

}  // namespace forms

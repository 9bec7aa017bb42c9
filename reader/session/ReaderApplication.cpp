#include "session/ReaderApplication.h"

#include <exception>

#include "dialogs/Dialogs.h"

ReaderApplication::ReaderApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ReaderApplication::guarded(const std::function<bool()>& deliver,
                                const std::function<void(const QString&)>& tell) {
    QString what;
    try {
        return deliver();
    } catch (const std::exception& e) {
        what = QString::fromLocal8Bit(e.what());
    } catch (...) {
        what = QStringLiteral("알 수 없는 오류");
    }
    if (tell) tell(what);
    return false;
}

bool ReaderApplication::notify(QObject* receiver, QEvent* event) {
    return guarded([&] { return QApplication::notify(receiver, event); },
                   [this](const QString& what) {
                       // A box about a fault met while showing a box would never end.
                       if (!m_dialogs || m_telling) return;
                       m_telling = true;
                       m_dialogs->MsgBox(QStringLiteral("작업을 마치지 못했습니다. 읽던 책과 "
                                                        "설정은 그대로입니다.\n(%1)")
                                             .arg(what),
                                         dlg::vbExclamation, QStringLiteral("루모북"));
                       m_telling = false;
                   });
}

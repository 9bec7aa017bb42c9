#include "dialogs/Dialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

namespace dlg {

QString qtFilter(const QString& classicFilter) {
    const QStringList fields = classicFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : fields[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!p.trimmed().isEmpty()) patterns << p.trimmed();
        if (patterns.isEmpty()) continue;
        // Qt takes the patterns from the last parenthesised group, so a label that already
        // lists its patterns in parentheses is kept as it is.
        filters << QStringLiteral("%1 (%2)").arg(fields[i].trimmed(), patterns.join(' '));
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

struct Buttons {
    QList<QMessageBox::StandardButton> order;
    QMessageBox::StandardButton escape;
};

Buttons buttonsOf(int style) {
    switch (style & 7) {
        case vbOKCancel:
            return {{QMessageBox::Ok, QMessageBox::Cancel}, QMessageBox::Cancel};
        case vbYesNoCancel:
            return {{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, QMessageBox::Cancel};
        case vbYesNo:
            return {{QMessageBox::Yes, QMessageBox::No}, QMessageBox::No};
        default:
            return {{QMessageBox::Ok}, QMessageBox::Ok};
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The interface is Korean whatever the system's language.
QString koreanText(QMessageBox::StandardButton b) {
    switch (b) {
        case QMessageBox::Yes:
            return QStringLiteral("예(&Y)");
        case QMessageBox::No:
            return QStringLiteral("아니요(&N)");
        case QMessageBox::Cancel:
            return QStringLiteral("취소");
        default:
            return QStringLiteral("확인");
    }
}

int answerOf(QMessageBox::StandardButton b) {
    switch (b) {
        case QMessageBox::Ok:
            return vbOK;
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        default:
            return vbCancel;
    }
}

}  // namespace

int QtDialogs::MsgBox(const QString& prompt, int style, const QString& title) {
    const Buttons buttons = buttonsOf(style);
    QMessageBox box(iconOf(style), title, prompt, QMessageBox::NoButton, m_parent);
    for (QMessageBox::StandardButton b : buttons.order) box.addButton(b)->setText(koreanText(b));
    // 0x100 and 0x200 make the second or third button the default, as in the classic call.
    const int defaultIndex = (style >> 8) & 3;
    if (defaultIndex < buttons.order.size()) box.setDefaultButton(buttons.order[defaultIndex]);
    box.setEscapeButton(buttons.escape);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return answerOf(clicked ? box.standardButton(clicked) : buttons.escape);
}

QString QtDialogs::ShowOpen(const QString& filter, const QString& title,
                            const QString& initialDir) {
    return QFileDialog::getOpenFileName(m_parent, title, initialDir, qtFilter(filter));
}

std::optional<gdi::COLORREF> QtDialogs::ShowColor(gdi::COLORREF initial) {
    const QColor c = QColorDialog::getColor(gdi::toQColor(initial), m_parent);
    if (!c.isValid()) return std::nullopt;
    return gdi::fromQColor(c);
}

bool QtDialogs::OpenBrowser(const QString& url) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

bool QtDialogs::StartProcess(const QString& program, const QStringList& args) {
    return QProcess::startDetached(program, args);
}

}  // namespace dlg

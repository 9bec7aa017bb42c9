#include "files/EntryName.h"

#include <QStringDecoder>

#include "textbox/Cp949.h"

namespace files {

QString decodeEntryName(const QByteArray& raw, bool flaggedUtf8) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (!flaggedUtf8 && utf8.hasError()) text = textbox::decodeCp949(raw.constData(), raw.size());
    return text.normalized(QString::NormalizationForm_C);
}

QString flatEntryName(const QString& name) {
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    const QString base = name.mid(cut + 1);
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String("..")) return {};
    for (const QChar c : base)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char(':')) return {};
    return base;
}

}  // namespace files

// SPDX-License-Identifier: MIT
#include "tikko/shell/skin.h"

#include <QApplication>
#include <QFile>
#include <QStringDecoder>

namespace tikko {

QString styleSheetFromSkin(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.contains('\0'))
        return {};
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return {};
    const qsizetype open = text.indexOf(QLatin1Char('{'));
    if (open <= 0 || text.indexOf(QLatin1Char('}'), open) < 0)
        return {};
    return text;
}

bool applySkinFile(const QString& path) {
    if (path.isEmpty())
        return false; // no skin anywhere: nothing to open
    QFile file(path);
    // A style sheet is small; anything bigger is no style sheet.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return false;
    const QString sheet = styleSheetFromSkin(file.readAll());
    if (sheet.isEmpty() || !qApp)
        return false;
    qApp->setStyleSheet(sheet);
    return true;
}

} // namespace tikko

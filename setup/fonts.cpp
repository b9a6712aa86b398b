// SPDX-License-Identifier: GPL-3.0-or-later
#include "fonts.h"

#include "language/translation.h"

#include <QApplication>
#include <QString>
#include <QStringList>

namespace kor::setup {

namespace {

const QString UiFamily = QStringLiteral("ＭＳ Ｐゴシック");
const QString VersionFamily = QStringLiteral("Times New Roman");

void insertSubstitutionsOnce() {
    static const bool inserted = [] {
        QStringList faces{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                          QStringLiteral("Noto Sans CJK JP")};
        // A Japanese face draws "\" as "¥", as Japanese Windows does; a user
        // of another language reads the paths with backslashes, in a Latin
        // face, and the Japanese names among them in the Japanese one.
        if (!language::sessionReadsJapanese())
            faces.prepend(QStringLiteral("Liberation Sans"));
        QFont::insertSubstitutions(UiFamily, faces);
        QFont::insertSubstitutions(
            VersionFamily, {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
        return true;
    }();
    static_cast<void>(inserted);
}

} // namespace

QFont japaneseUiFont() {
    insertSubstitutionsOnce();
    return QFont(UiFamily, 9);
}

QFont versionFont(double pointSize) {
    insertSubstitutionsOnce();
    QFont font(VersionFamily);
    font.setPointSizeF(pointSize);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

void useJapaneseUiFont() {
    QApplication::setFont(japaneseUiFont());
}

} // namespace kor::setup

// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include <charconv>
#include <cstdlib>
#include <string_view>

namespace kor::language {
namespace {

// The English table, read once from this library's resources on first use. A
// translator asked directly needs no QCoreApplication: no program starts one
// just to speak English.
QTranslator& englishTable() {
    static QTranslator* const table = [] {
        auto* loaded = new QTranslator;
        // Without it every text stays Japanese, which is still readable.
        (void)loaded->load(QStringLiteral(":/kor/translations/kor_en.qm"));
        return loaded;
    }();
    return *table;
}

} // namespace

bool sessionReadsJapanese() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::string_view(value).starts_with("ja");
    }
    return false;
}

std::string english(const char* context, const char* japanese) {
    const QString translated = englishTable().translate(context, japanese);
    return translated.isEmpty() ? std::string(japanese) : translated.toStdString();
}

std::string translate(const char* context, const char* japanese) {
    return sessionReadsJapanese() ? std::string(japanese) : english(context, japanese);
}

std::string fill(std::string text, std::initializer_list<std::string_view> values) {
    std::string filled;
    filled.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t close = text[at] == '{' ? text.find('}', at) : std::string::npos;
        std::size_t number = 0;
        if (close != std::string::npos) {
            const char* digits = text.data() + at + 1;
            const auto [end, error] = std::from_chars(digits, text.data() + close, number);
            if (error == std::errc{} && end == text.data() + close && number >= 1 &&
                number <= values.size()) {
                filled += values.begin()[number - 1];
                at = close + 1;
                continue;
            }
        }
        filled += text[at++];
    }
    return filled;
}

void useSessionLanguage() {
    static QTranslator qtJapanese;
    static const bool haveQtJapanese = qtJapanese.load(
        QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    QCoreApplication::removeTranslator(&englishTable());
    QCoreApplication::removeTranslator(&qtJapanese);
    if (!sessionReadsJapanese())
        QCoreApplication::installTranslator(&englishTable());
    else if (haveQtJapanese)
        QCoreApplication::installTranslator(&qtJapanese);
}

} // namespace kor::language

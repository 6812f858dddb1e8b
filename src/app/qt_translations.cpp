// Loading Qt's Russian catalogue.
#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace folvek {

QTranslator* installQtTranslations(QCoreApplication& app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    // qtbase holds the widgets' dialogs; qt_ru is the older catalogue that includes it.
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    if (translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"), dir) ||
        translator->load(russian, QStringLiteral("qt"), QStringLiteral("_"), dir)) {
        app.installTranslator(translator);
        return translator;
    }
    delete translator;
    return nullptr;
}

}  // namespace folvek

#include "ui/qt/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

QStringList qtTranslationFolders() {
    return {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

QTranslator* installQtChineseTranslations(QCoreApplication& app, const QStringList& folders) {
    for (const QString& folder : folders) {
        // Owned by the application, which keeps using it to its end.
        auto* translator = new QTranslator(&app);
        if (translator->load(QStringLiteral("qtbase_zh_CN"), folder) && app.installTranslator(translator)) return translator;
        delete translator;
    }
    return nullptr;
}

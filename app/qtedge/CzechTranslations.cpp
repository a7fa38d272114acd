#include "app/qtedge/CzechTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void InstallCzechTranslations(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

#include "shell/Demarrage.h"

#include "shell/base/Curseurs.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace kinepo {

QTranslator* ChargerTraductionsQt(QCoreApplication& app) {
    // The program speaks French whatever the desktop's language, so its standard dialogs do
    // too.
    const QString dossiers[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    auto* traducteur = new QTranslator(&app);
    traducteur->setObjectName(QStringLiteral("qtbase"));
    for (const QString& dossier : dossiers)
        if (traducteur->load(QStringLiteral("qtbase_fr"), dossier) &&
            QCoreApplication::installTranslator(traducteur))
            return traducteur;
    delete traducteur;
    return nullptr;
}

void PreparerApplication(QApplication& app) {
    EnregistrerCurseurs();
    QApplication::setApplicationName(QStringLiteral("kinepo"));
    app.setProperty("fichierAide", QStringLiteral("kinepo.html"));
    ChargerTraductionsQt(app);
}

} // namespace kinepo

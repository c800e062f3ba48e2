#include "shell/Demarrage.h"

#include "shell/Langue.h"
#include "shell/base/Curseurs.h"

#include <QApplication>
#include <QTranslator>

namespace kinepo {

QTranslator* ChargerTraductionsQt(QCoreApplication& app) {
    // The program speaks French whatever the desktop's language, so its standard dialogs do
    // too, until a language is chosen.
    if (!ChangerTraductionsQt(app, QStringLiteral("fr"))) return nullptr;
    return app.findChild<QTranslator*>(QStringLiteral("qtbase"), Qt::FindDirectChildrenOnly);
}

void PreparerApplication(QApplication& app) {
    EnregistrerCurseurs();
    QApplication::setApplicationName(QStringLiteral("kinepo"));
    app.setProperty("fichierAide", QStringLiteral("kinepo.html"));
    ChargerTraductionsQt(app);
}

} // namespace kinepo

// Kinepo: the program block. Registers the cursors, sets the application title, creates the
// launcher and the start-up objects, and runs the event loop until the launcher closes.
#include "platform/qt/PlateformeQt.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "shell/About.h"
#include "shell/Formes.h"
#include "shell/ImageMain.h"
#include "shell/base/Curseurs.h"

#include <QApplication>
#include <exception>

namespace {

// The default error display: an error that no form caught is shown, and the program goes on.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* recepteur, QEvent* evenement) override {
        try {
            return QApplication::notify(recepteur, evenement);
        } catch (const std::exception& e) {
            kinepo::Dialogues().erreur(QString::fromUtf8(e.what()));
        } catch (...) {
            kinepo::Dialogues().erreur(QStringLiteral("Erreur inattendue"));
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    kinepo::EnregistrerCurseurs();
    Application::setApplicationName(QStringLiteral("kinepo"));
    Application::setApplicationDisplayName(QStringLiteral("Multimedia pour Tabulane"));
    app.setProperty("fichierAide", QStringLiteral("kinepo.hlp"));
    kinepo::InstallerPlateformeQt();

    auto* lanceur = new kinepo::TImageFormMain;
    lanceur->setAttribute(Qt::WA_DeleteOnClose);
    auto* about = new kinepo::TAboutBox(lanceur);
    lanceur->SetAboutBox(about);
    kinepo::EnregistrerFormes(*lanceur);
    lanceur->show();
    return app.exec();
}

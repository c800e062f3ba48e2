// Kinepo: the program block. Registers the cursors, sets the application title, loads Qt's
// French texts, creates the launcher and the start-up objects, and runs the event loop until
// the launcher closes.
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/qt/PlateformeQt.h"
#include "shell/About.h"
#include "shell/Demarrage.h"
#include "shell/Formes.h"
#include "shell/ImageMain.h"
#include "shell/Langue.h"
#include "shell/base/DialoguesTraduits.h"
#include "shell/base/Dictionnaire.h"

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
    kinepo::PreparerApplication(app);
    QApplication::setWindowIcon(kinepo::IconeProgramme());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kinepo.Kinepo"));
    kinepo::InstallerPlateformeQt(QString::fromUtf8(kinepo::kTitreApplication));
    // The translatable forms' messages and file filters go through the dictionary.
    kinepo::Plateforme plateforme = kinepo::InstallerPlateforme({});
    kinepo::DialoguesTraduits dialogues(*plateforme.dialogues, [] {
        return kinepo::Dictionnaire::Trouver(
            QString::fromLatin1(kinepo::Dictionnaire::kNomDictionary));
    });
    plateforme.dialogues = &dialogues;
    kinepo::InstallerPlateforme(plateforme);
    kinepo::ToucheAide toucheAide;
    app.installEventFilter(&toucheAide);

    auto* lanceur = new kinepo::TImageFormMain;
    lanceur->setAttribute(Qt::WA_DeleteOnClose);
    auto* about = new kinepo::TAboutBox(lanceur);
    lanceur->SetAboutBox(about);
    kinepo::EnregistrerFormes(*lanceur);
    lanceur->show();
    // A file given by the desktop ("Open with Kinepo") opens in the form that reads it.
    if (const QStringList args = QApplication::arguments(); args.size() > 1)
        lanceur->OuvrirFichierDonne(args.at(1));
    return app.exec();
}

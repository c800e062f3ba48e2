#include "platform/qt/PlateformeQt.h"

#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/PressePapiers.h"
#include "platform/Processus.h"
#include "platform/RegistreFichier.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

namespace kinepo {
namespace {

QString g_titreApplication;

QString titreApplication() {
    return g_titreApplication;
}

// The folder chooser: a non-native dialog whose name field takes a typed folder. Qt's own
// dialog refuses a folder that does not exist ("Directory not found"); this one hands it back
// as typed, and the caller offers to create it.
class ChoixDossier : public QFileDialog {
public:
    ChoixDossier(QWidget* parent, const QString& titre, const QString& dossier)
        : QFileDialog(parent, titre, dossier) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly, true);
        setOption(QFileDialog::DontUseNativeDialog, true);
        setAcceptMode(QFileDialog::AcceptOpen);
        setLabelText(QFileDialog::FileName, QStringLiteral("Répertoire :"));
        setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
        setLabelText(QFileDialog::Reject, QStringLiteral("Annuler"));
    }
    // The folder chosen or typed; empty when cancelled.
    const QString& Choix() const { return choix_; }

    void accept() override {
        const QStringList choisis = selectedFiles();
        const QString tape = choisis.value(0);
        if (!tape.isEmpty() && !QFileInfo::exists(tape)) {
            choix_ = tape;
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
        if (result() == QDialog::Accepted) choix_ = tape;
    }

private:
    QString choix_;
};

class DialoguesQt : public IDialogues {
public:
    void message(const QString& texte) override {
        QMessageBox::information(QApplication::activeWindow(), titreApplication(), texte);
    }
    void erreur(const QString& texte) override {
        QMessageBox::critical(QApplication::activeWindow(), titreApplication(), texte);
    }
    bool confirmer(const QString& texte) override {
        return QMessageBox::question(QApplication::activeWindow(), titreApplication(), texte,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    int demander(const QString& texte, const QStringList& boutons) override {
        QMessageBox box(QMessageBox::Question, titreApplication(), texte, QMessageBox::NoButton,
                        QApplication::activeWindow());
        QList<QAbstractButton*> crees;
        for (const QString& b : boutons)
            crees.append(box.addButton(b, QMessageBox::AcceptRole));
        box.exec();
        return static_cast<int>(crees.indexOf(box.clickedButton()));
    }
    std::optional<QString> saisir(const QString& titre, const QString& invite,
                                  const QString& defaut) override {
        bool ok = false;
        const QString t = QInputDialog::getText(QApplication::activeWindow(), titre, invite,
                                                QLineEdit::Normal, defaut, &ok);
        if (!ok) return std::nullopt;
        return t;
    }
    std::optional<QString> ouvrirFichier(const QString& titre, const QString& dossier,
                                         const QString& filtre) override {
        const QString f =
            QFileDialog::getOpenFileName(QApplication::activeWindow(), titre, dossier, filtre);
        if (f.isEmpty()) return std::nullopt;
        return f;
    }
    std::optional<QString> ouvrirFichierFiltre(const QString& titre, const QString& dossier,
                                               const QString& filtre, int& indexFiltre) override {
        const QStringList filtres = filtre.split(QStringLiteral(";;"));
        QString choisi = filtres.value(indexFiltre - 1, filtres.value(0));
        const QString f = QFileDialog::getOpenFileName(QApplication::activeWindow(), titre, dossier,
                                                       filtre, &choisi);
        if (f.isEmpty()) return std::nullopt;
        if (const auto i = filtres.indexOf(choisi); i >= 0) indexFiltre = static_cast<int>(i) + 1;
        return f;
    }
    std::optional<QString> enregistrerFichier(const QString& titre, const QString& dossier,
                                              const QString& filtre,
                                              const QString& nomDefaut) override {
        QString depart = dossier;
        if (!nomDefaut.isEmpty())
            depart = dossier.isEmpty() ? nomDefaut : dossier + QLatin1Char('/') + nomDefaut;
        const QString f =
            QFileDialog::getSaveFileName(QApplication::activeWindow(), titre, depart, filtre,
                                         nullptr, QFileDialog::DontConfirmOverwrite);
        if (f.isEmpty()) return std::nullopt;
        return f;
    }
    std::optional<QString> enregistrerFichierFiltre(const QString& titre, const QString& dossier,
                                                    const QString& filtre, const QString& nomDefaut,
                                                    int& indexFiltre) override {
        QString depart = dossier;
        if (!nomDefaut.isEmpty())
            depart = dossier.isEmpty() ? nomDefaut : dossier + QLatin1Char('/') + nomDefaut;
        const QStringList filtres = filtre.split(QStringLiteral(";;"));
        QString choisi = filtres.value(indexFiltre - 1, filtres.value(0));
        const QString f =
            QFileDialog::getSaveFileName(QApplication::activeWindow(), titre, depart, filtre,
                                         &choisi, QFileDialog::DontConfirmOverwrite);
        if (f.isEmpty()) return std::nullopt;
        if (const auto i = filtres.indexOf(choisi); i >= 0) indexFiltre = static_cast<int>(i) + 1;
        return f;
    }
    std::optional<QString> choisirDossier(const QString& titre,
                                          const QString& dossierInitial) override {
        ChoixDossier d(QApplication::activeWindow(), titre, dossierInitial);
        if (d.exec() != QDialog::Accepted || d.Choix().isEmpty()) return std::nullopt;
        return d.Choix();
    }
};

class PressePapiersQt : public IPressePapiers {
public:
    void setTexte(const QString& texte) override { QGuiApplication::clipboard()->setText(texte); }
    QString texte() const override { return QGuiApplication::clipboard()->text(); }
    void setImage(const QImage& image) override { QGuiApplication::clipboard()->setImage(image); }
};

class ProcessusQt : public IProcessus {
public:
    bool lancer(const QString& programme, const QStringList& arguments) override {
        return QProcess::startDetached(programme, arguments);
    }
};

} // namespace

void InstallerPlateformeQt(const QString& titreApplication) {
    g_titreApplication = titreApplication;
    static DialoguesQt dialogues;
    static PressePapiersQt pressePapiers;
    static ProcessusQt processus;
    static RegistreFichier registre;
    InstallerPlateforme(Plateforme{&dialogues, &pressePapiers, &processus, &registre});
}

} // namespace kinepo

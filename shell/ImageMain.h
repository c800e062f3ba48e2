#pragma once
// The launcher "Lecture d'images pour Tabulane": the buttons that open the measuring forms,
// the five default folders kept in section "Repertoire" of the settings file, and the about box.
#include "shell/Repertoires.h"
#include "shell/base/TradForm.h"

#include <QPointer>
#include <array>
#include <functional>
#include <optional>

class QPushButton;
class QToolButton;

namespace kinepo {

class TAboutBox;
class Dictionnaire;

// The launcher buttons that open a measuring form.
enum class BoutonForme { Interf, Bmp, Avi, Mpg, Wav, Michelson };
inline constexpr int kNombreBoutonsForme = 6;

// How a subsystem plugs its form into the launcher.
struct FabriqueForme {
    // Creates the form, owned by the launcher (created once, then only shown again).
    std::function<QWidget*(QWidget* proprietaire)> creer;
    // Sets the initial folder of the form's file dialogs; called at every click (may be empty).
    std::function<void(QWidget* forme, const QString& dossier)> dossierInitial;
    // Opens a file in the form, as its "Ouvrir" does once the file is chosen (may be empty).
    std::function<void(QWidget* forme, const QString& fichier)> ouvrir;
};

// The form that opens a file given to the program (by the desktop's "Open with"), chosen by
// its extension; nothing for an extension no form reads.
std::optional<BoutonForme> FormePourFichier(const QString& fichier);

class TImageFormMain : public TTradForm {
    Q_OBJECT
public:
    // The folder buttons, each with its folder field.
    enum class BoutonDossier { Interf, Bmp, Avi, Wav, Tabulane };

    explicit TImageFormMain(QWidget* parent = nullptr);
    ~TImageFormMain() override;

    // Plugs a form in; its button is enabled from then on. Buttons without a form stay disabled.
    void DefinirFabrique(BoutonForme bouton, FabriqueForme fabrique);

    // The launcher's folders (empty: no default folder).
    const Repertoires& Dossiers() const { return dossiers_; }
    QString RepTabulane() const { return dossiers_.tabulane; }

    // The form of a button when it was created, else null.
    QWidget* Forme(BoutonForme bouton) const;
    QPushButton* Bouton(BoutonForme bouton) const;
    QToolButton* BoutonDossierWidget(BoutonDossier b) const;
    QPushButton* AboutBtn() const { return aboutBtn_; }
    QPushButton* ExitBtn() const { return exitBtn_; }
    void SetAboutBox(TAboutBox* box) { aboutBox_ = box; }

    // The dictionary of the translatable forms, "Dictionary", created with the launcher and
    // loaded from the shipped "translat.txt" and "language.txt".
    Dictionnaire* Dictionary = nullptr;
    // The dictionary's language changed: the help page and Qt's dialog texts follow it.
    void DictionaryLanguageChange();
    // The user chose a language (the about box): it becomes current and is saved.
    void ChoisirLangue(int langue);

    // Handlers, public so that tests and other parts can drive them as a click does.
    void OuvrirForme(BoutonForme bouton);
    void AviButtonClick(BoutonDossier bouton);
    // Opens a file given to the program in the form that reads it; "Extension non reconnue"
    // when none does.
    void OuvrirFichierDonne(const QString& fichier);

signals:
    // The Tabulane folder was chosen or cleared: the analysis program's path is recomputed.
    void RepertoireTabulaneChange(const QString& dossier);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QString& champ(BoutonDossier b);
    void FormDestroy();

    Repertoires dossiers_;
    std::array<QPushButton*, kNombreBoutonsForme> boutons_{};
    std::array<FabriqueForme, kNombreBoutonsForme> fabriques_{};
    std::array<QPointer<QWidget>, kNombreBoutonsForme> formes_{};
    std::array<QToolButton*, 5> boutonsDossier_{};
    QPushButton* aboutBtn_ = nullptr;
    QPushButton* exitBtn_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    bool ecrit_ = false;
};

// The launcher of the running program (null before it is created). Forms reach the launcher's
// folders and the "bring forward" of the link through it.
TImageFormMain* ImageFormMain();

} // namespace kinepo

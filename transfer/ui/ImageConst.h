#pragma once
// The transfer dialog "Renseignements sur la page courante": the extra constant, the comment
// and the new-file choice. One dialog for the whole run; what the user typed stays for the
// next transfer. Forms do not show it themselves: they call Transferer (Transfert.h).
//
// Tests: the modal step goes through Montrer(), which asks the hook installed with
// DefinirReponseScriptee instead of showing a window when one is installed. The ready-made
// fake is tests/support/FakeConstante.h.
#include "transfer/PageTransfert.h"

#include <QDialog>
#include <functional>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kinepo {

class TConstanteDlg : public QDialog {
    Q_OBJECT
public:
    explicit TConstanteDlg(QWidget* parent = nullptr);
    ~TConstanteDlg() override;

    // The dialog of the run: the one created at start-up, or one made on first use (tests).
    static TConstanteDlg& Instance();

    // Shows the dialog modally; true on OK. With a scripted answer installed, that answer is
    // used instead (it may fill the fields first) and no window appears.
    bool Montrer();

    // A scripted answer: gets the dialog (to fill its fields) and returns true for OK.
    using ReponseScriptee = std::function<bool(TConstanteDlg&)>;
    // Installs the answer used by Montrer (empty: show the window); returns the previous one.
    static ReponseScriptee DefinirReponseScriptee(ReponseScriptee reponse);

    // The new-file choice (NewPageCB).
    ChoixPage Choix() const;
    void SetChoix(ChoixPage choix);
    ConstanteTransfert Constante() const;
    QString Commentaire() const;
    // What the form's text-building step needs, for the given target.
    PageTransfert Page(CibleTransfert cible) const;

    // Back to the state of a program start (empty fields, "Nouveau fichier"). The program
    // never clears the dialog; tests use this to start from a known state.
    void RemettreAZero();

    QLineEdit* NomConstEdit = nullptr;
    QLineEdit* UniteConstEdit = nullptr;
    QLineEdit* ValeurConstEdit = nullptr;
    QLineEdit* EditComm = nullptr;
    QButtonGroup* NewPageCB = nullptr;
    QRadioButton* NouveauFichierRB = nullptr;
    QRadioButton* NouvellePageRB = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* AnnulerBtn = nullptr;
    QPushButton* AideBtn = nullptr;
};

} // namespace kinepo

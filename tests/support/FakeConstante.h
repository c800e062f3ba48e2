#pragma once
// Scripted answers for the transfer dialog, so that a form's transfer runs in a test without a
// window and without the analysis program. Header-only; needs kinepo_transfer_ui.
//
//   kinepo::test::FakeConstante dlg;                 // dialog reset to its start state
//   dlg.reponses.push_back({.commentaire = "chute libre"});   // OK, with that comment
//   form.TabulaneBtnClick();                          // calls Transferer
//   EXPECT_EQ(kinepo::test::PressePapiers().contenu, expected);
//   EXPECT_EQ(dlg.macros, std::vector<QString>{"CLIP|LOAD"});
//
// A dialog shown with no scripted answer fails the test and counts as "Annuler".
// Set lienReel to true to send the macros through the real link instead of recording them.
#include "transfer/ui/ImageConst.h"
#include "transfer/ui/ImageDDE.h"

#include <QLineEdit>
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace kinepo::test {

struct ReponseConstante {
    bool ok = true; // false: "Annuler"
    // Fields typed before the answer; nothing leaves the field as it was.
    std::optional<QString> nom = std::nullopt;
    std::optional<QString> unite = std::nullopt;
    std::optional<QString> valeur = std::nullopt;
    std::optional<QString> commentaire = std::nullopt;
    std::optional<ChoixPage> choix = std::nullopt;
};

class FakeConstante {
public:
    std::deque<ReponseConstante> reponses;
    int montres = 0;             // how many times the dialog was shown
    std::vector<QString> macros; // macros handed to the link while lienReel is false
    bool lienReel = false;

    FakeConstante() {
        TConstanteDlg::Instance().RemettreAZero();
        ancienneReponse_ = TConstanteDlg::DefinirReponseScriptee([this](TConstanteDlg& d) {
            ++montres;
            if (reponses.empty()) {
                ADD_FAILURE() << "unscripted transfer dialog";
                return false;
            }
            const ReponseConstante r = reponses.front();
            reponses.pop_front();
            if (r.nom) d.NomConstEdit->setText(*r.nom);
            if (r.unite) d.UniteConstEdit->setText(*r.unite);
            if (r.valeur) d.ValeurConstEdit->setText(*r.valeur);
            if (r.commentaire) d.EditComm->setText(*r.commentaire);
            if (r.choix) d.SetChoix(*r.choix);
            return r.ok;
        });
        ancienEnvoi_ = TFormDDE::DefinirEnvoiScripte([this](const QString& macro) {
            if (lienReel) return false;
            macros.push_back(macro);
            return true;
        });
    }
    ~FakeConstante() {
        TConstanteDlg::DefinirReponseScriptee(std::move(ancienneReponse_));
        TFormDDE::DefinirEnvoiScripte(std::move(ancienEnvoi_));
    }
    FakeConstante(const FakeConstante&) = delete;
    FakeConstante& operator=(const FakeConstante&) = delete;

private:
    TConstanteDlg::ReponseScriptee ancienneReponse_;
    TFormDDE::EnvoiScripte ancienEnvoi_;
};

} // namespace kinepo::test

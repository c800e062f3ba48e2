#include "transfer/ui/Transfert.h"

#include "platform/Plateforme.h"
#include "platform/PressePapiers.h"
#include "transfer/ui/ImageConst.h"
#include "transfer/ui/ImageDDE.h"

#include <QApplication>

namespace kinepo {

namespace {
class CurseurOccupe {
public:
    CurseurOccupe() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CurseurOccupe() { QApplication::restoreOverrideCursor(); }
    CurseurOccupe(const CurseurOccupe&) = delete;
    CurseurOccupe& operator=(const CurseurOccupe&) = delete;
};
} // namespace

bool Transferer(const ConstructeurTexte& construire, CibleTransfert cible) {
    TConstanteDlg& dlg = TConstanteDlg::Instance();
    if (!dlg.Montrer()) return false;

    CurseurOccupe sablier;
    const PageTransfert page = dlg.Page(cible);
    TexteEchange texte;
    construire(page, texte);
    PressePapiers().setTexte(texte.texte());
    if (cible == CibleTransfert::Tabulane) TFormDDE::EnvoieMacroDuProgramme(page.choix);
    dlg.SetChoix(ChoixPage::NouvellePage);
    return true;
}

} // namespace kinepo

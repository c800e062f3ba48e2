#pragma once
// TAideCodecDlg, "Résolution des problèmes de lecture des fichiers AVI": how to see what this
// machine can decode, which packages add decoders, what the film at hand is made of, and two
// buttons that open explanatory pages in the desktop's browser.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace kinepo {

class TAideCodecDlg : public QDialog {
    Q_OBJECT
public:
    explicit TAideCodecDlg(QWidget* parent = nullptr);

    // The film the calling form has (or tried to open); empty: none. Rewrites the film line.
    void SetFilm(const QString& chemin);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    void BitBtn1Click();
    void BitBtn2Click();

    static const char* const kSite1;
    static const char* const kSite2;

private:
    void ouvrirSite(const char* adresse);
};

// The dialog of the application, created on first use and kept.
TAideCodecDlg& AideCodecDlg();
// The film line of the dialog: what the film is and whether this machine decodes it.
QString LigneFilm(const QString& chemin);

} // namespace kinepo

#include "video/ui/AideCodecDlg.h"

#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/Processus.h"
#include "platform/video/DiagnosticFilm.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace kinepo {

const char* const TAideCodecDlg::kSite1 = "https://ffmpeg.org/ffmpeg-codecs.html";
const char* const TAideCodecDlg::kSite2 = "https://wiki.debian.org/MultimediaCodecs";

namespace {

QStringList LignesConseil() {
    return {
        QStringLiteral("Si vous n'arrivez pas à lire un fichier AVI"),
        QStringLiteral("Vérifier si votre PC prend en charge un codec donné :"),
        QStringLiteral("----Taper \"ffmpeg -hide_banner -decoders\" dans un terminal : les "
                       "décodeurs vidéo sont les lignes qui commencent par V."),
        QStringLiteral("----Taper \"ffprobe nom_du_film\" pour voir le conteneur et le codec "
                       "\"Video:\" du film "),
        QStringLiteral("        (le codec est aussi affiché dans la barre d'état de la fenêtre "
                       "vidéo). "),
        QString(),
        QStringLiteral("Par exemple, vous pouvez aussi installer un de ces deux paquets Debian : "),
        QStringLiteral("CODEC libavcodec-extra : sudo apt install libavcodec-extra "
                       "(décodeurs supplémentaires de FFmpeg)"),
        QStringLiteral("CODEC x264, x265, xvid : sudo apt install ffmpeg "
                       "(les outils ffmpeg et ffprobe)"),
        QString(),
        QStringLiteral(
            "Pour des renseignements complémentaires cliquer sur les boutons ci-dessous"),
    };
}

} // namespace

QString LigneFilm(const QString& chemin) {
    if (chemin.isEmpty()) return QStringLiteral("Aucun film ouvert.");
    const QString nom = QFileInfo(chemin).fileName();
    const DiagnosticFilm d = DiagnostiquerFilm(chemin);
    if (!d.lisible) return QStringLiteral("Film %1 : illisible, %2.").arg(nom, d.raison);
    return QStringLiteral("Film %1 : conteneur %2, codec %3, %4.")
        .arg(nom, d.conteneur, d.codec,
             d.decodeur ? QStringLiteral("décodeur présent sur cette machine")
                        : QStringLiteral("aucun décodeur sur cette machine"));
}

TAideCodecDlg::TAideCodecDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Résolution des problèmes de lecture des fichiers AVI"));
    setModal(true);
    setFixedSize(453, 211);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(0, 0, 453, 161);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    BitBtn1 = new QPushButton(QStringLiteral("Site de FFmpeg"), this);
    BitBtn1->setGeometry(16, 174, 193, 25);
    BitBtn2 = new QPushButton(QStringLiteral("Site de Debian"), this);
    BitBtn2->setGeometry(453 - 16 - 193, 174, 193, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &TAideCodecDlg::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TAideCodecDlg::BitBtn2Click);
    SetFilm(QString());
}

void TAideCodecDlg::SetFilm(const QString& chemin) {
    QStringList lignes = LignesConseil();
    lignes << QString() << LigneFilm(chemin);
    Memo1->setPlainText(lignes.join(QLatin1Char('\n')));
}

void TAideCodecDlg::ouvrirSite(const char* adresse) {
    // The desktop's own opener hands the address to the default browser.
    if (!Processus().lancer(QStringLiteral("xdg-open"), {QString::fromUtf8(adresse)}))
        Dialogues().message(QStringLiteral("Impossible d'accéder au site"));
}

void TAideCodecDlg::BitBtn1Click() {
    ouvrirSite(kSite1);
}
void TAideCodecDlg::BitBtn2Click() {
    ouvrirSite(kSite2);
}

TAideCodecDlg& AideCodecDlg() {
    static QPointer<TAideCodecDlg> dlg;
    if (!dlg) dlg = new TAideCodecDlg(nullptr);
    return *dlg;
}

} // namespace kinepo

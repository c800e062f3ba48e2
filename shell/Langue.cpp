#include "shell/Langue.h"

#include "common/IniFile.h"
#include "platform/Chemins.h"
#include "platform/Plateforme.h"
#include "platform/Processus.h"
#include "shell/base/Dictionnaire.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QTranslator>
#include <QUrl>
#include <QWidget>

namespace kinepo {

QString LocaleUtilisateur() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray v = qgetenv(variable);
        if (!v.isEmpty()) return QString::fromLocal8Bit(v);
    }
    return {};
}

int LangueDuLocale(const QString& locale) {
    const QString langue = locale.section(QLatin1Char('_'), 0, 0)
                               .section(QLatin1Char('.'), 0, 0)
                               .section(QLatin1Char('@'), 0, 0)
                               .toLower();
    if (langue == QLatin1String("en")) return kLangueAnglais;
    if (langue == QLatin1String("es")) return kLangueEspagnol;
    return kLangueFrancais;
}

int LangueDeDepart(int langueSauvee, int nombreLangues, const QString& locale) {
    if (langueSauvee >= 1 && langueSauvee <= nombreLangues) return langueSauvee;
    const int l = LangueDuLocale(locale);
    return l <= nombreLangues ? l : kLangueFrancais;
}

QString FichierAidePourLangue(int langue, const QString& locale) {
    const int l = langue == -1 ? LangueDuLocale(locale) : langue;
    if (l == kLangueEspagnol) return QStringLiteral("kinepoSpan.html");
    if (l == kLangueAnglais) return QStringLiteral("kinepoEng.html");
    return QStringLiteral("kinepo.html");
}

int LireLangueSauvee(const QString& fichierIni) {
    return IniFile(fichierIni)
        .lireEntier(QString::fromLatin1(kSectionLangue), QString::fromLatin1(kCleLangue), -1);
}

bool SauverLangue(const QString& fichierIni, int langue) {
    IniFile ini(fichierIni);
    ini.ecrireEntier(QString::fromLatin1(kSectionLangue), QString::fromLatin1(kCleLangue), langue);
    return ini.enregistrer();
}

bool ChargerDictionnaire(Dictionnaire& d) {
    const QString traductions = CheminDonneeProgramme(
        QStringLiteral("langues/") + QLatin1String(Dictionnaire::kFichierTraductions));
    const QString langues = CheminDonneeProgramme(QStringLiteral("langues/") +
                                                  QLatin1String(Dictionnaire::kFichierLangues));
    if (traductions.isEmpty() || langues.isEmpty()) {
        d.ChargerTextes({}, {});
        return false;
    }
    return d.Charger(traductions, langues);
}

bool ChangerTraductionsQt(QCoreApplication& app, const QString& code) {
    const auto anciens =
        app.findChildren<QTranslator*>(QStringLiteral("qtbase"), Qt::FindDirectChildrenOnly);
    for (QTranslator* t : anciens) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    if (code.isEmpty() || code == QLatin1String("en")) return true;
    const QString dossiers[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    auto* t = new QTranslator(&app);
    t->setObjectName(QStringLiteral("qtbase"));
    for (const QString& dossier : dossiers)
        if (t->load(QStringLiteral("qtbase_") + code, dossier) &&
            QCoreApplication::installTranslator(t))
            return true;
    delete t;
    return false;
}

bool OuvrirAide(const QWidget* fenetre) {
    const QString nom = qApp->property("fichierAide").toString();
    const QString chemin = CheminDonneeProgramme(QStringLiteral("aide/") + nom);
    if (chemin.isEmpty()) return false;
    QUrl url = QUrl::fromLocalFile(chemin);
    if (fenetre) {
        // Each form has its section, named after its class ("TAviForm").
        const QString classe = QString::fromLatin1(fenetre->metaObject()->className());
        url.setFragment(classe.section(QStringLiteral("::"), -1));
    }
    return Processus().lancer(QStringLiteral("xdg-open"), {url.toString()});
}

bool ToucheAide::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(evenement);
        if ((k->key() == Qt::Key_F1 || k->key() == Qt::Key_Help) && objet->isWidgetType()) {
            const QWidget* w = QApplication::activeWindow();
            if (!w) w = static_cast<QWidget*>(objet)->window();
            OuvrirAide(w);
            return true;
        }
    }
    return QObject::eventFilter(objet, evenement);
}

} // namespace kinepo

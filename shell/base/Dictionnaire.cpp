#include "shell/base/Dictionnaire.h"

#include "shell/base/TradForm.h"

#include <QFile>
#include <QWidget>
#include <algorithm>

namespace kinepo {
namespace {

std::vector<Dictionnaire*>& registre() {
    static std::vector<Dictionnaire*> r;
    return r;
}

QString Deseschapper(const QString& champ) {
    QString r;
    r.reserve(champ.size());
    for (qsizetype i = 0; i < champ.size(); ++i) {
        const QChar c = champ[i];
        if (c == QLatin1Char('\\') && i + 1 < champ.size()) {
            const QChar s = champ[i + 1];
            if (s == QLatin1Char('n')) {
                r += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (s == QLatin1Char('t')) {
                r += QLatin1Char('\t');
                ++i;
                continue;
            }
            if (s == QLatin1Char('\\')) {
                r += QLatin1Char('\\');
                ++i;
                continue;
            }
        }
        r += c;
    }
    return r;
}

// The useful lines of a file's text: without their end, comments and blank lines dropped.
QStringList LignesUtiles(const QString& texte) {
    QStringList r;
    for (QString ligne : texte.split(QLatin1Char('\n'))) {
        if (ligne.endsWith(QLatin1Char('\r'))) ligne.chop(1);
        if (ligne.startsWith(QChar(0xFEFF))) ligne.remove(0, 1); // a byte-order mark
        if (ligne.trimmed().isEmpty() || ligne.startsWith(QLatin1Char('#'))) continue;
        r << ligne;
    }
    return r;
}

bool LireUtf8(const QString& chemin, QString& texte) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) return false;
    // The files are small; a bound keeps a wrong path (a film named translat.txt) harmless.
    constexpr qint64 kTailleMax = 16 * 1024 * 1024;
    if (f.size() > kTailleMax) return false;
    texte = QString::fromUtf8(f.readAll());
    return true;
}

} // namespace

Dictionnaire::Dictionnaire(QString nom, QObject* parent) : QObject(parent), nom_(std::move(nom)) {
    registre().push_back(this);
}

Dictionnaire::~Dictionnaire() {
    auto& r = registre();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

Dictionnaire* Dictionnaire::Trouver(const QString& nom) {
    for (Dictionnaire* d : registre())
        if (d->nom_ == nom) return d;
    return nullptr;
}

bool Dictionnaire::Charger(const QString& fichierTraductions, const QString& fichierLangues) {
    QString traductions, langues;
    if (!LireUtf8(fichierLangues, langues) || !LireUtf8(fichierTraductions, traductions)) {
        ChargerTextes({}, {});
        return false;
    }
    ChargerTextes(traductions, langues);
    return Charge();
}

void Dictionnaire::ChargerTextes(const QString& traductions, const QString& langues) {
    langues_.clear();
    codes_.clear();
    lignes_.clear();
    indexFrancais_.clear();
    indexAutres_.clear();
    modeles_.clear();
    for (const QString& ligne : LignesUtiles(langues)) {
        const QStringList champs = ligne.split(QLatin1Char('\t'));
        langues_ << champs.value(0).trimmed();
        codes_ << champs.value(1).trimmed().toLower();
    }
    if (langues_.isEmpty()) return;
    for (const QString& ligne : LignesUtiles(traductions)) {
        QStringList champs = ligne.split(QLatin1Char('\t'));
        for (QString& c : champs)
            c = Deseschapper(c);
        while (champs.size() < langues_.size())
            champs << QString();
        if (champs[0].isEmpty() || indexFrancais_.contains(champs[0])) continue;
        const int n = static_cast<int>(lignes_.size());
        indexFrancais_.insert(champs[0], n);
        for (qsizetype k = 1; k < champs.size(); ++k)
            if (!champs[k].isEmpty() && !indexAutres_.contains(champs[k]))
                indexAutres_.insert(champs[k], n);
        ajouterModele(champs[0], n);
        lignes_.push_back(std::move(champs));
    }
    if (langue_ > langues_.size()) langue_ = -1;
}

QString Dictionnaire::CodeLangue(int langue) const {
    return codes_.value(langue - 1);
}

void Dictionnaire::FixerLangue(int langue) {
    if (langue != -1 && (langue < 1 || langue > langues_.size())) return;
    if (langue == langue_) return;
    langue_ = langue;
    formes_.erase(std::remove_if(formes_.begin(), formes_.end(),
                                 [](const QPointer<QWidget>& f) { return f.isNull(); }),
                  formes_.end());
    const auto formes = formes_; // a translation may open or close nothing, but be safe
    for (const QPointer<QWidget>& f : formes)
        if (f) Traducteur::TraduireAvec(f, *this);
    emit LangueChangee(langue_);
}

int Dictionnaire::ligneDe(const QString& texte) const {
    if (texte.isEmpty()) return -1;
    if (auto it = indexFrancais_.constFind(texte); it != indexFrancais_.constEnd()) return *it;
    if (auto it = indexAutres_.constFind(texte); it != indexAutres_.constEnd()) return *it;
    return -1;
}

void Dictionnaire::ajouterModele(const QString& francais, int ligne) {
    static const QRegularExpression marque(QStringLiteral("%([1-9])"));
    QString motif;
    QList<int> numeros;
    qsizetype debut = 0;
    for (auto it = marque.globalMatch(francais); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        motif += QRegularExpression::escape(francais.mid(debut, m.capturedStart() - debut));
        motif += QStringLiteral("(.+?)");
        numeros << m.captured(1).toInt();
        debut = m.capturedEnd();
    }
    if (numeros.isEmpty()) return;
    motif += QRegularExpression::escape(francais.mid(debut));
    QRegularExpression re(QRegularExpression::anchoredPattern(motif),
                          QRegularExpression::DotMatchesEverythingOption);
    re.optimize();
    modeles_.push_back({std::move(re), std::move(numeros), ligne});
}

QString Dictionnaire::traduireModele(const QString& texte, int colonne, int profondeur) const {
    for (const Modele& m : modeles_) {
        const QRegularExpressionMatch r = m.motif.match(texte);
        if (!r.hasMatch()) continue;
        const QStringList& ligne = lignes_[static_cast<std::size_t>(m.ligne)];
        QString t = ligne.value(colonne);
        if (t.isEmpty()) t = ligne[0];
        // One pass over the translation, so a part holding "%2" is not replaced again.
        QString resultat;
        for (qsizetype i = 0; i < t.size(); ++i) {
            if (t[i] == QLatin1Char('%') && i + 1 < t.size() && t[i + 1] >= QLatin1Char('1') &&
                t[i + 1] <= QLatin1Char('9')) {
                const int k = m.numeros.indexOf(t[i + 1].digitValue());
                if (k >= 0) {
                    const QString partie = r.captured(k + 1);
                    resultat +=
                        profondeur < 2 ? traduireVers(partie, colonne + 1, profondeur + 1) : partie;
                    ++i;
                    continue;
                }
            }
            resultat += t[i];
        }
        return resultat;
    }
    return texte;
}

QString Dictionnaire::traduireVers(const QString& texte, int langue, int profondeur) const {
    // No language selected: back to the design texts.
    const int colonne = langue < 1 ? 0 : langue - 1;
    const int l = ligneDe(texte);
    if (l < 0) return colonne == 0 ? texte : traduireModele(texte, colonne, profondeur);
    const QStringList& ligne = lignes_[static_cast<std::size_t>(l)];
    const QString& t = ligne.value(colonne);
    return t.isEmpty() ? ligne[0] : t;
}

QString Dictionnaire::TraduireVers(const QString& texte, int langue) const {
    return traduireVers(texte, langue, 0);
}

QString Dictionnaire::Traduire(const QString& texte) const {
    return TraduireVers(texte, langue_);
}

bool Dictionnaire::Complet(const QString& texte) const {
    auto it = indexFrancais_.constFind(texte);
    if (it == indexFrancais_.constEnd()) return false;
    const QStringList& ligne = lignes_[static_cast<std::size_t>(*it)];
    for (qsizetype k = 1; k < langues_.size(); ++k)
        if (ligne.value(k).isEmpty()) return false;
    return true;
}

void Dictionnaire::InscrireForme(QWidget* forme) {
    for (const QPointer<QWidget>& f : formes_)
        if (f == forme) return;
    formes_.emplace_back(forme);
}

} // namespace kinepo

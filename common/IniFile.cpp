#include "common/IniFile.h"

#include "common/Cp1252.h"
#include "common/EcritureAtomique.h"

#include <QFile>
#include <QStringDecoder>

namespace kinepo {
namespace {

// Lines written by this program are UTF-8; lines of an older file are CP1252. A line is read
// as UTF-8 when it is valid UTF-8, else as CP1252, so a file that an older version started
// and this one went on writing reads back whole. (A CP1252 text that is also valid UTF-8
// needs sequences such as "Ã©", which no folder or caption holds.)
QString decoderLigne(const QByteArray& brut) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texte = utf8.decode(brut);
    return utf8.hasError() ? DepuisCp1252(brut) : texte;
}

} // namespace

IniFile::IniFile(QString chemin) : chemin_(std::move(chemin)) {
    QFile f(chemin_);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QByteArray tout = f.readAll();
    if (tout.contains("\n") && !tout.contains("\r\n")) finDeLigne_ = "\n";
    QString sectionCourante;
    qsizetype debut = 0;
    while (debut < tout.size()) {
        // Each line keeps its own end, so a file with mixed ends comes back unchanged.
        const qsizetype nl = tout.indexOf('\n', debut);
        Ligne l;
        if (nl < 0) {
            l.brut = tout.mid(debut); // truncated file: last line without an end
            debut = tout.size();
        } else {
            l.brut = tout.mid(debut, nl - debut);
            l.fin = "\n";
            debut = nl + 1;
        }
        if (l.brut.endsWith('\r')) {
            l.brut.chop(1);
            l.fin.prepend('\r');
        }
        const QString texte = decoderLigne(l.brut).trimmed();
        const qsizetype ferme = texte.indexOf(']');
        if (texte.startsWith('[') && ferme > 1) {
            // "[AVI] ; comment" is a header too; "[" or "[]" alone are not.
            const QString nom = texte.mid(1, ferme - 1).trimmed();
            if (!nom.isEmpty()) {
                sectionCourante = nom;
                l.section = nom;
            }
        } else if (!texte.startsWith(';') && texte.contains('=') && !sectionCourante.isEmpty()) {
            const qsizetype eg = texte.indexOf('=');
            l.cle = texte.left(eg).trimmed();
            l.valeur = texte.mid(eg + 1).trimmed();
        }
        lignes_.push_back(std::move(l));
    }
}

int IniFile::trouverSection(const QString& section) const {
    for (std::size_t i = 0; i < lignes_.size(); ++i)
        if (!lignes_[i].section.isEmpty() &&
            lignes_[i].section.compare(section, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int IniFile::trouverCle(const QString& section, const QString& cle) const {
    const int s = trouverSection(section);
    if (s < 0) return -1;
    for (std::size_t i = s + 1; i < lignes_.size() && lignes_[i].section.isEmpty(); ++i)
        if (!lignes_[i].cle.isEmpty() && lignes_[i].cle.compare(cle, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

std::optional<QString> IniFile::valeur(const QString& section, const QString& cle) const {
    const int i = trouverCle(section, cle);
    if (i < 0) return std::nullopt;
    return lignes_[i].valeur;
}

QString IniFile::lireTexte(const QString& section, const QString& cle,
                           const QString& defaut) const {
    return valeur(section, cle).value_or(defaut);
}

int IniFile::lireEntier(const QString& section, const QString& cle, int defaut) const {
    const auto v = valeur(section, cle);
    if (!v) return defaut;
    bool ok = false;
    QString t = v->trimmed();
    int n = t.startsWith("0x", Qt::CaseInsensitive) ? t.mid(2).toInt(&ok, 16) : t.toInt(&ok);
    return ok ? n : defaut;
}

bool IniFile::lireBooleen(const QString& section, const QString& cle, bool defaut) const {
    const auto v = valeur(section, cle);
    if (!v) return defaut;
    const QString t = v->trimmed();
    if (t == "1" || t.compare("true", Qt::CaseInsensitive) == 0) return true;
    if (t == "0" || t.compare("false", Qt::CaseInsensitive) == 0) return false;
    return defaut;
}

void IniFile::inserer(std::size_t position, Ligne ligne) {
    // A last line read without an end gets one before anything follows it.
    if (position > 0 && lignes_[position - 1].fin.isEmpty())
        lignes_[position - 1].fin = finDeLigne_;
    ligne.fin = finDeLigne_;
    lignes_.insert(lignes_.begin() + static_cast<std::ptrdiff_t>(position), std::move(ligne));
}

void IniFile::ecrireTexte(const QString& section, const QString& cle, const QString& valeur) {
    // A line break inside a value would split the line and corrupt the file.
    QString propre = valeur;
    propre.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray brut = cle.toUtf8() + '=' + propre.toUtf8();
    const int i = trouverCle(section, cle);
    if (i >= 0) {
        lignes_[i].brut = brut;
        lignes_[i].valeur = propre.trimmed();
        return;
    }
    int s = trouverSection(section);
    if (s < 0) {
        inserer(lignes_.size(), Ligne{'[' + section.toUtf8() + ']', {}, section, {}, {}});
        s = static_cast<int>(lignes_.size()) - 1;
    }
    // After the last key line of the section: blank lines, comments and garbage that follow
    // it more often belong to what comes next.
    std::size_t pos = s + 1;
    for (std::size_t j = s + 1; j < lignes_.size() && lignes_[j].section.isEmpty(); ++j)
        if (!lignes_[j].cle.isEmpty()) pos = j + 1;
    inserer(pos, Ligne{brut, {}, {}, cle, propre.trimmed()});
}

void IniFile::ecrireEntier(const QString& section, const QString& cle, int valeur) {
    ecrireTexte(section, cle, QString::number(valeur));
}

void IniFile::ecrireBooleen(const QString& section, const QString& cle, bool valeur) {
    ecrireTexte(section, cle, valeur ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray IniFile::contenu() const {
    QByteArray out;
    for (const Ligne& l : lignes_)
        out += l.brut + l.fin;
    return out;
}

bool IniFile::enregistrer() const {
    return EcrireFichierAtomique(chemin_, contenu());
}

} // namespace kinepo

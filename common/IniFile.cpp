#include "common/IniFile.h"

#include "common/Cp1252.h"

#include <QFile>
#include <QSaveFile>

namespace kinepo {

IniFile::IniFile(QString chemin) : chemin_(std::move(chemin)) {
    QFile f(chemin_);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QByteArray tout = f.readAll();
    if (tout.contains("\n") && !tout.contains("\r\n")) finDeLigne_ = "\n";
    QList<QByteArray> brutes = tout.split('\n');
    if (!brutes.isEmpty() && brutes.back().isEmpty()) brutes.removeLast();
    QString sectionCourante;
    for (QByteArray brut : brutes) {
        if (brut.endsWith('\r')) brut.chop(1);
        Ligne l{brut, {}, {}, {}};
        const QString texte = DepuisCp1252(brut).trimmed();
        if (texte.startsWith('[') && texte.endsWith(']') && texte.size() > 2) {
            sectionCourante = texte.mid(1, texte.size() - 2).trimmed();
            l.section = sectionCourante;
        } else if (!texte.startsWith(';') && texte.contains('=') && !sectionCourante.isEmpty()) {
            const int eg = texte.indexOf('=');
            l.cle = texte.left(eg).trimmed();
            l.valeur = texte.mid(eg + 1);
            if (l.cle.isEmpty()) l.cle.clear();
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

void IniFile::ecrireTexte(const QString& section, const QString& cle, const QString& valeur) {
    const QByteArray brut = VersCp1252(cle) + '=' + VersCp1252(valeur);
    const int i = trouverCle(section, cle);
    if (i >= 0) {
        lignes_[i].brut = brut;
        lignes_[i].valeur = valeur;
        return;
    }
    int s = trouverSection(section);
    if (s < 0) {
        lignes_.push_back(Ligne{'[' + VersCp1252(section) + ']', section, {}, {}});
        s = static_cast<int>(lignes_.size()) - 1;
    }
    // After the last key line of the section (before trailing blank lines).
    std::size_t pos = s + 1;
    for (std::size_t j = s + 1; j < lignes_.size() && lignes_[j].section.isEmpty(); ++j)
        if (!lignes_[j].brut.trimmed().isEmpty()) pos = j + 1;
    lignes_.insert(lignes_.begin() + static_cast<std::ptrdiff_t>(pos),
                   Ligne{brut, {}, cle, valeur});
}

void IniFile::ecrireEntier(const QString& section, const QString& cle, int valeur) {
    ecrireTexte(section, cle, QString::number(valeur));
}

void IniFile::ecrireBooleen(const QString& section, const QString& cle, bool valeur) {
    ecrireTexte(section, cle, valeur ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray IniFile::contenu() const {
    QByteArray out;
    for (const Ligne& l : lignes_) out += l.brut + finDeLigne_;
    return out;
}

bool IniFile::enregistrer() const {
    QSaveFile f(chemin_);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(contenu()) < 0) return false;
    return f.commit();
}

} // namespace kinepo

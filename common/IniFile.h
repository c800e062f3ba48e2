#pragma once
// The settings file: bracketed sections of "key=value" lines, read whole and written whole.
// A writer changes only its own keys; every other line of the file (other sections,
// comments, unknown keys, garbage) comes back byte for byte. Section and key names match
// without regard to case, as on the platform the file format comes from. Lines are written in
// UTF-8; a line that is not valid UTF-8 (an older file's) is read as CP1252.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kinepo {

class IniFile {
public:
    // Opens the file in memory. A missing or unreadable file gives an empty file; never throws.
    explicit IniFile(QString chemin);

    const QString& chemin() const { return chemin_; }

    // Value of a key without its surrounding spaces, or nothing when the section or the key
    // is missing.
    std::optional<QString> valeur(const QString& section, const QString& cle) const;
    // Value of a key, or defaut when missing.
    QString lireTexte(const QString& section, const QString& cle, const QString& defaut = {}) const;
    // Integer value; defaut when missing or not an integer.
    int lireEntier(const QString& section, const QString& cle, int defaut) const;
    // Boolean value ("1"/"0", as written by ecrireBooleen); defaut when missing or unreadable.
    bool lireBooleen(const QString& section, const QString& cle, bool defaut) const;

    // Sets a key, adding the section and key at the end when they are missing.
    void ecrireTexte(const QString& section, const QString& cle, const QString& valeur);
    void ecrireEntier(const QString& section, const QString& cle, int valeur);
    void ecrireBooleen(const QString& section, const QString& cle, bool valeur);

    // Writes the file back through a temporary file and a rename, so a crash never
    // leaves half a file. Returns false when it could not be written.
    bool enregistrer() const;

    // The file as it would be written: the lines read kept byte for byte with their own end,
    // the lines written in UTF-8; new lines take the file's usual end (CR LF unless the file
    // uses bare LF).
    QByteArray contenu() const;

private:
    struct Ligne {
        QByteArray brut; // the line as read, without its end
        QByteArray fin;  // its end as read ("\r\n", "\n", or empty on a last line without one)
        QString section; // non-empty on a section header line
        QString cle;     // non-empty on a key line
        QString valeur;
    };
    int trouverSection(const QString& section) const;
    int trouverCle(const QString& section, const QString& cle) const;
    void inserer(std::size_t position, Ligne ligne);

    QString chemin_;
    std::vector<Ligne> lignes_;
    QByteArray finDeLigne_ = "\r\n";
};

} // namespace kinepo

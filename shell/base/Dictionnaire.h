#pragma once
// The translation dictionary: the languages of "language.txt" and, for each French text of the
// translatable forms, its translations from "translat.txt". Both files are plain UTF-8 text a
// teacher can edit (docs/traduction.md gives their form):
//   language.txt  one language per line, in column order: its name, optionally a tab and its
//                 two-letter code ("English\ten"); the first line is French, the design language.
//   translat.txt  one text per line: the French text, then a tab and its translation in each
//                 further language of language.txt, in that order; an empty field means "no
//                 translation". "\n", "\t" and "\\" stand for a line break, a tab and a backslash.
// Lines starting with '#' and blank lines are ignored in both.
//
// Languages are numbered from 1 in the order of language.txt; -1 means that none is selected
// (the forms keep their French texts).
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <vector>

namespace kinepo {

class Dictionnaire : public QObject {
    Q_OBJECT
public:
    // The name translators look for when none is assigned to them.
    static constexpr const char* kNomDictionary = "Dictionary";
    static constexpr const char* kFichierTraductions = "translat.txt";
    static constexpr const char* kFichierLangues = "language.txt";

    explicit Dictionnaire(QString nom = QString::fromLatin1(kNomDictionary),
                          QObject* parent = nullptr);
    ~Dictionnaire() override;

    // The dictionary registered under that name, or null.
    static Dictionnaire* Trouver(const QString& nom);

    // Reads both files. When either is missing or unreadable, the dictionary stays empty (the
    // forms stay French) and this returns false; there is no message.
    bool Charger(const QString& fichierTraductions, const QString& fichierLangues);
    // The same from texts (what the files hold); used by Charger and by tests.
    void ChargerTextes(const QString& traductions, const QString& langues);
    bool Charge() const { return !langues_.isEmpty(); }

    const QStringList& Langues() const { return langues_; }
    // The two-letter code of a language (1-based), or empty when the file gives none.
    QString CodeLangue(int langue) const;

    int LangueCourante() const { return langue_; }
    // Sets the current language (-1 or 1..Langues().size(); anything else is ignored). A new
    // value re-translates every form of the translators bound to this dictionary and raises
    // LangueChangee.
    void FixerLangue(int langue);

    // The text in the current language: the translation of the row that holds `texte` in any
    // language (so a form already translated can be translated again), or `texte` itself.
    // A French text with %1, %2... stands for every text that differs only there (a message
    // with a file name or a number in it): the translation gets the same parts back, each one
    // translated in turn when the dictionary knows it.
    QString Traduire(const QString& texte) const;
    // The same for a language given explicitly.
    QString TraduireVers(const QString& texte, int langue) const;
    // True when `texte` is a French text of the dictionary with a translation in every other
    // language.
    bool Complet(const QString& texte) const;

    // Forms whose translator uses this dictionary; re-translated at each language change.
    void InscrireForme(QWidget* forme);

signals:
    void LangueChangee(int langue);

private:
    int ligneDe(const QString& texte) const;
    void ajouterModele(const QString& francais, int ligne);
    QString traduireModele(const QString& texte, int colonne, int profondeur) const;
    QString traduireVers(const QString& texte, int langue, int profondeur) const;

    QString nom_;
    QStringList langues_;
    QStringList codes_;
    std::vector<QStringList> lignes_; // column 0 is French
    QHash<QString, int> indexFrancais_;
    QHash<QString, int> indexAutres_;
    struct Modele {
        QRegularExpression motif; // the French text, its %N parts captured
        QList<int> numeros;       // the N of each capture, in order
        int ligne;
    };
    std::vector<Modele> modeles_;
    int langue_ = -1;
    std::vector<QPointer<QWidget>> formes_;
};

} // namespace kinepo

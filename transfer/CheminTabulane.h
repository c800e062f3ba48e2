#pragma once
// Where the analysis program is and how it is started.
#include <QString>
#include <QStringList>
#include <optional>

namespace kinepo {

class IRegistre;

// Native name of the analysis program's executable.
inline constexpr QLatin1StringView kExecutableTabulane("tabulane");
// Registry key of the analysis program; its subkey "Tabulane" is read after it.
inline constexpr QLatin1StringView kCleTabulane("Software\\Tabulane");
// Longest command line that is started; longer texts are cut.
inline constexpr int kLongueurCommandeMax = 255;

// The command line that starts the analysis program:
// - a non-empty launcher folder gives "<folder>/tabulane", whether or not the file exists;
// - otherwise "tabulane" (found through the search path), replaced by the string value
//   "Path" of "Software\Tabulane" when present, then by "Path" of "Software\Tabulane\Tabulane"
//   when present (the later one wins).
QString CalculeCheminTabulane(const QString& repTabulane, const IRegistre& registre);

struct LigneCommande {
    QString programme;
    QStringList arguments;
};

// Splits a command line into a program and its arguments, never through a shell. The text is
// first cut to kLongueurCommandeMax characters. When the whole text names an existing file it
// is the program, spaces included (a folder such as "/opt/Mes programmes"); otherwise it is
// split at blanks, with double quotes grouping words. Nothing for an empty text.
std::optional<LigneCommande> ScinderLigneCommande(const QString& ligne);

} // namespace kinepo

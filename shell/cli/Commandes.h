#pragma once
// kinepo-cli: the command-line companion that runs the forms' code on files, for batch work.
// Each subsystem supplies its commands; one command = a name, a usage line and a function that
// takes the arguments after the command name and returns the exit status. Errors print one line
// on stderr and return a non-zero status.
#include <QStringList>
#include <cstdio>
#include <functional>
#include <vector>

namespace kinepo::cli {

struct Commande {
    QString nom;   // "info", "track", "chrono", "wav"
    QString usage; // one line, shown by "kinepo-cli --help"
    std::function<int(const QStringList& arguments)> executer;
};

// A command whose work fills a standard output text and a one-line error: the error goes to
// stderr, the text to stdout in UTF-8, and the status is returned.
using ExecutionTexte =
    std::function<int(const QStringList& arguments, QString& sortie, QString& erreur)>;
inline Commande CommandeTexte(const QString& nom, const QString& usage, ExecutionTexte executer) {
    return {nom, usage, [executer = std::move(executer)](const QStringList& args) {
                QString sortie, erreur;
                const int statut = executer(args, sortie, erreur);
                if (!erreur.isEmpty())
                    std::fprintf(stderr, "%s\n", erreur.toLocal8Bit().constData());
                const QByteArray octets = sortie.toUtf8();
                std::fwrite(octets.constData(), 1, std::size_t(octets.size()), stdout);
                return statut;
            }};
}

// Every command of this build (filled in Commandes.cpp).
std::vector<Commande> ToutesLesCommandes();

} // namespace kinepo::cli

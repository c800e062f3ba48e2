#pragma once
// kinepo-cli: the command-line companion that runs the forms' code on files, for batch work.
// Each subsystem supplies its commands; one command = a name, a usage line and a function that
// takes the arguments after the command name and returns the exit status. Errors print one line
// on stderr and return a non-zero status.
#include <QStringList>
#include <functional>
#include <vector>

namespace kinepo::cli {

struct Commande {
    QString nom;   // "info", "track", "chrono", "wav"
    QString usage; // one line, shown by "kinepo-cli --help"
    std::function<int(const QStringList& arguments)> executer;
};

// Every command of this build (filled in Commandes.cpp).
std::vector<Commande> ToutesLesCommandes();

} // namespace kinepo::cli

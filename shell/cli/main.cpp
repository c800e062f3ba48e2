// kinepo-cli COMMAND ARGS...: see Commandes.h.
#include "common/Version.h"
#include "shell/cli/Commandes.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // Pictures are handled with QImage, which needs no display; a plain core application will do.
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const auto commandes = kinepo::cli::ToutesLesCommandes();
    auto usage = [&](FILE* out) {
        std::fprintf(out, "usage: kinepo-cli COMMAND ARGS...\n");
        for (const auto& c : commandes)
            std::fprintf(out, "  %s\n", qPrintable(c.usage));
    };
    if (args.isEmpty()) {
        usage(stderr);
        return 2;
    }
    if (args.first() == "--version") {
        std::printf("kinepo-cli %s\n", kinepo::kVersion);
        return 0;
    }
    if (args.first() == "--help" || args.first() == "-h") {
        usage(stdout);
        return 0;
    }
    const QString nom = args.takeFirst();
    for (const auto& c : commandes)
        if (c.nom == nom) return c.executer(args);
    std::fprintf(stderr, "kinepo-cli: unknown command '%s'\n", qPrintable(nom));
    return 2;
}

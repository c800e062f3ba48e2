#pragma once
// A scanner for the tests: a fixed list of sources, and each acquisition hands back the next
// scripted picture (or throws when there is none). Installed for its own lifetime.
#include "platform/Numeriseur.h"

#include <deque>
#include <functional>

namespace kinepo::test {

class FakeNumeriseur : public INumeriseur {
public:
    std::vector<SourceNumeriseur> sources;
    std::deque<QImage> images;
    std::vector<ReglagesNumeriseur> demandes; // what each acquisition asked for
    OptionsNumeriseur options;
    // Runs at the start of each search, on the searching thread (a test may hold it there).
    std::function<void()> avantSources;

    FakeNumeriseur() { ancien_ = InstallerNumeriseur(this); }
    ~FakeNumeriseur() override { InstallerNumeriseur(ancien_); }
    FakeNumeriseur(const FakeNumeriseur&) = delete;
    FakeNumeriseur& operator=(const FakeNumeriseur&) = delete;

    std::vector<SourceNumeriseur> Sources() override {
        if (avantSources) avantSources();
        return sources;
    }
    OptionsNumeriseur Options(const QString&) override { return options; }
    QImage Acquerir(const QString&, const ReglagesNumeriseur& r) override {
        demandes.push_back(r);
        if (images.empty()) throw ErreurNumeriseur("Le scanner ne démarre pas (faux)");
        QImage i = images.front();
        images.pop_front();
        return i;
    }

private:
    INumeriseur* ancien_ = nullptr;
};

} // namespace kinepo::test

#pragma once
// Scripted answers for the image form's scale dialog: each answer may type into the dialog
// (already loaded from the calibration, as on activation) and returns true for OK.
// A dialog shown with no scripted answer fails the test and counts as Cancel.
#include "image/ui/EchelleBmpDlg.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace kinepo::test {

class FakeEchelle {
public:
    std::deque<std::function<bool(TEchelleBmpDlg&)>> reponses;
    int montres = 0;

    FakeEchelle() {
        ancienne_ = TEchelleBmpDlg::DefinirReponseScriptee([this](TEchelleBmpDlg& d) {
            ++montres;
            if (reponses.empty()) {
                ADD_FAILURE() << "unscripted scale dialog";
                return false;
            }
            auto r = std::move(reponses.front());
            reponses.pop_front();
            return r(d);
        });
    }
    ~FakeEchelle() { TEchelleBmpDlg::DefinirReponseScriptee(std::move(ancienne_)); }
    FakeEchelle(const FakeEchelle&) = delete;
    FakeEchelle& operator=(const FakeEchelle&) = delete;

    // OK without touching anything.
    void ok() {
        reponses.push_back([](TEchelleBmpDlg&) { return true; });
    }

private:
    TEchelleBmpDlg::ReponseScriptee ancienne_;
};

} // namespace kinepo::test

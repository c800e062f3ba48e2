#include "shell/base/TradForm.h"

namespace kinepo {

const QStringList& Traducteur::Cibles() {
    static const QStringList cibles = {"Hint",         "Caption",       "Items.strings",
                                       "Filter.strings", "Pages.strings", "Lines.strings",
                                       "Lines",        "Items",         "Text"};
    return cibles;
}

void Traducteur::Traduire(QWidget*) {
    // No dictionary is loaded in this build: the forms stay in French.
}

TTradForm::TTradForm(QWidget* parent, Qt::WindowFlags flags) : QMainWindow(parent, flags) {}

void TTradForm::FormCreate() {
    try {
        Translator.Traduire(this);
    } catch (...) {
        // A translation that fails leaves the form as far as it was translated.
    }
}

} // namespace kinepo

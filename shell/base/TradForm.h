#pragma once
// Base class of the translatable forms (the launcher, the video forms, the image form and its
// axis dialog, the light-intensity form, the sound form). It owns the form's translator;
// until a dictionary is loaded the translator leaves every text as designed (French), so
// the form behaves as a plain window.
#include <QMainWindow>

namespace kinepo {

// The translator bound to the dictionary named "Dictionary". With no dictionary loaded it
// translates nothing.
class Traducteur {
public:
    // Target properties, in the order they are translated.
    static const QStringList& Cibles();
    // Translates the form and its children; texts without a translation stay as they are.
    // Without a dictionary this does nothing.
    void Traduire(QWidget* forme);
};

class TTradForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TTradForm(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    Traducteur Translator;

protected:
    // Called by derived forms at the end of their construction: translates the form once
    // more; any error raised by the translation is ignored.
    void FormCreate();
};

} // namespace kinepo

#pragma once
// Base class of the translatable forms (the launcher, the video forms, the image form and its
// axis dialog, the light-intensity form, the sound form). It owns the form's translator, which
// replaces the form's visible texts by those of the dictionary's current language; with no
// dictionary, or an empty one, the form keeps its French texts.
#include <QMainWindow>
#include <QPointer>
#include <functional>

namespace kinepo {

class Dictionnaire;

class Traducteur {
public:
    // Target properties, in the order they are translated.
    static const QStringList& Cibles();

    // The dictionary in use: the one assigned, else the one registered as "Dictionary".
    Dictionnaire* Dictionary() const;
    // Assigning a dictionary replaces the one found by name.
    void FixerDictionary(Dictionnaire* d);

    // Translates the form and its components (child windows other than menus are forms of
    // their own and are left alone), and binds the form to the dictionary so that language
    // changes translate it again. Texts without a translation stay as they are. Without a
    // dictionary this does nothing.
    void Traduire(QWidget* forme);

    static void TraduireAvec(QWidget* forme, const Dictionnaire& d);
    // The French text of every text the translator translates on that form, in walking order.
    static QStringList Textes(QWidget* forme);
    // Applies `f` to every target text of the form, replacing each by what `f` returns.
    static void Parcourir(QWidget* forme, const std::function<QString(const QString&)>& f);

private:
    QPointer<Dictionnaire> dictionnaire_;
};

class TTradForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TTradForm(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    Traducteur Translator;

protected:
    // Called by derived forms at the end of their construction: binds the translator to the
    // launcher's dictionary and translates the form once more; any error raised by the
    // translation is ignored.
    void FormCreate();
};

} // namespace kinepo

#include "shell/base/TradForm.h"

#include "shell/base/Dictionnaire.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QVariant>

namespace kinepo {
namespace {

using Fonction = std::function<QString(const QString&)>;

// A text made of lines is translated line by line, so that a help text's paragraphs are
// entries of their own.
QString ParLignes(const QString& texte, const Fonction& f) {
    if (!texte.contains(QLatin1Char('\n'))) return f(texte);
    QStringList lignes = texte.split(QLatin1Char('\n'));
    for (QString& l : lignes)
        l = f(l);
    return lignes.join(QLatin1Char('\n'));
}

// Walks the target texts of one component. Each text is translated from its French form,
// remembered on the component the first time, so that going from one language to another
// never depends on two French texts sharing a translation. A text the form has changed since
// (a caption set at run time) is taken as the new French text.
class Cibles {
public:
    Cibles(QObject* o, const Fonction& f, bool ecrire) : o_(o), f_(f), ecrire_(ecrire) {}

    template <class Poser>
    void texte(const char* cle, const QString& actuel, Poser&& poser, bool parLignes = false) {
        const QByteArray fr = QByteArrayLiteral("_kinepo_fr_") + cle;
        const QByteArray vu = QByteArrayLiteral("_kinepo_vu_") + cle;
        const QVariant montre = o_->property(vu.constData());
        const QString francais = montre.isValid() && montre.toString() == actuel
                                     ? o_->property(fr.constData()).toString()
                                     : actuel;
        if (francais.isEmpty()) return;
        const QString apres = parLignes ? ParLignes(francais, f_) : f_(francais);
        if (!ecrire_) return;
        if (apres != actuel) poser(apres);
        o_->setProperty(fr.constData(), francais);
        o_->setProperty(vu.constData(), apres);
    }

private:
    QObject* o_;
    const Fonction& f_;
    bool ecrire_;
};

QByteArray Cle(const char* nom, int i) {
    return QByteArray(nom) + QByteArray::number(i);
}

void TraduireObjet(QObject* o, const Fonction& f, bool ecrire) {
    Cibles c(o, f, ecrire);
    if (auto* a = qobject_cast<QAction*>(o)) {
        if (a->isSeparator()) return;
        // An action's tooltip defaults to its text: only one set apart is a hint of its own.
        if (a->toolTip() != QString(a->text()).remove(QLatin1Char('&')))
            c.texte("tip", a->toolTip(), [a](const QString& t) { a->setToolTip(t); });
        c.texte("status", a->statusTip(), [a](const QString& t) { a->setStatusTip(t); });
        c.texte("text", a->text(), [a](const QString& t) { a->setText(t); });
        return;
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (!w) return;
    // "Hint"
    c.texte("tip", w->toolTip(), [w](const QString& t) { w->setToolTip(t); });
    c.texte("status", w->statusTip(), [w](const QString& t) { w->setStatusTip(t); });
    // "Caption"
    if (w->isWindow() && !qobject_cast<QMenu*>(w))
        c.texte("title", w->windowTitle(), [w](const QString& t) { w->setWindowTitle(t); });
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        c.texte("text", b->text(), [b](const QString& t) { b->setText(t); });
    else if (auto* l = qobject_cast<QLabel*>(w))
        c.texte("text", l->text(), [l](const QString& t) { l->setText(t); });
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        c.texte("text", g->title(), [g](const QString& t) { g->setTitle(t); });
    else if (auto* m = qobject_cast<QMenu*>(w))
        c.texte("text", m->title(), [m](const QString& t) { m->setTitle(t); });
    else if (auto* d = qobject_cast<QDockWidget*>(w))
        c.texte("text", d->windowTitle(), [d](const QString& t) { d->setWindowTitle(t); });
    // "Items"
    if (auto* cb = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < cb->count(); ++i)
            c.texte(Cle("item", i).constData(), cb->itemText(i),
                    [cb, i](const QString& t) { cb->setItemText(i, t); });
    } else if (auto* lw = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < lw->count(); ++i) {
            QListWidgetItem* it = lw->item(i);
            c.texte(Cle("item", i).constData(), it->text(),
                    [it](const QString& t) { it->setText(t); });
        }
    }
    // "Pages"
    if (auto* tw = qobject_cast<QTabWidget*>(w))
        for (int i = 0; i < tw->count(); ++i)
            c.texte(Cle("page", i).constData(), tw->tabText(i),
                    [tw, i](const QString& t) { tw->setTabText(i, t); });
    // "Lines": the read-only texts of a form (explanations), line by line.
    if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
        if (pe->isReadOnly())
            c.texte(
                "lines", pe->toPlainText(), [pe](const QString& t) { pe->setPlainText(t); }, true);
    } else if (auto* te = qobject_cast<QTextEdit*>(w)) {
        if (te->isReadOnly() && !te->acceptRichText())
            c.texte(
                "lines", te->toPlainText(), [te](const QString& t) { te->setPlainText(t); }, true);
    }
    // "Text": what an edit field holds as designed; a combo box's editor is its own.
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (!qobject_cast<QComboBox*>(e->parentWidget())) {
            c.texte("text", e->text(), [e](const QString& t) { e->setText(t); });
            c.texte("placeholder", e->placeholderText(),
                    [e](const QString& t) { e->setPlaceholderText(t); });
        }
    }
}

void Parcours(QObject* o, const Fonction& f, bool ecrire, bool racine) {
    if (!racine) {
        // A child window is another form or dialog (translated by its own translator, or
        // meant to stay French); a menu is a popup of this form.
        if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow() && !qobject_cast<QMenu*>(w))
            return;
    }
    TraduireObjet(o, f, ecrire);
    const QObjectList enfants = o->children(); // a copy: translating changes no children
    for (QObject* e : enfants)
        Parcours(e, f, ecrire, false);
}

} // namespace

const QStringList& Traducteur::Cibles() {
    static const QStringList cibles = {"Hint",           "Caption",       "Items.strings",
                                       "Filter.strings", "Pages.strings", "Lines.strings",
                                       "Lines",          "Items",         "Text"};
    return cibles;
}

Dictionnaire* Traducteur::Dictionary() const {
    if (dictionnaire_) return dictionnaire_;
    return Dictionnaire::Trouver(QString::fromLatin1(Dictionnaire::kNomDictionary));
}

void Traducteur::FixerDictionary(Dictionnaire* d) {
    dictionnaire_ = d;
}

void Traducteur::Parcourir(QWidget* forme, const Fonction& f) {
    if (forme) Parcours(forme, f, true, true);
}

void Traducteur::TraduireAvec(QWidget* forme, const Dictionnaire& d) {
    Parcourir(forme, [&d](const QString& t) { return d.Traduire(t); });
}

QStringList Traducteur::Textes(QWidget* forme) {
    QStringList r;
    if (forme)
        Parcours(
            forme,
            [&r](const QString& t) {
                r << t;
                return t;
            },
            false, true);
    return r;
}

void Traducteur::Traduire(QWidget* forme) {
    Dictionnaire* d = Dictionary();
    if (!d || !forme) return;
    d->InscrireForme(forme);
    if (d->Charge()) TraduireAvec(forme, *d);
}

TTradForm::TTradForm(QWidget* parent, Qt::WindowFlags flags) : QMainWindow(parent, flags) {}

void TTradForm::FormCreate() {
    try {
        if (Dictionnaire* d =
                Dictionnaire::Trouver(QString::fromLatin1(Dictionnaire::kNomDictionary)))
            Translator.FixerDictionary(d);
        Translator.Traduire(this);
    } catch (...) {
        // A translation that fails leaves the form as far as it was translated.
    }
}

} // namespace kinepo

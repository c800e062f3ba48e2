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

namespace kinepo {
namespace {

using Fonction = std::function<QString(const QString&)>;

// A text made of lines is translated line by line, so that a help text's paragraphs are
// entries of their own.
QString ParLignes(const QString& texte, const Fonction& f) {
    if (!texte.contains(QLatin1Char('\n'))) return f(texte);
    QStringList lignes = texte.split(QLatin1Char('\n'));
    for (QString& l : lignes) l = f(l);
    return lignes.join(QLatin1Char('\n'));
}

void TraduireObjet(QObject* o, const Fonction& f) {
    auto changer = [&](const QString& avant, auto&& poser) {
        if (avant.isEmpty()) return;
        const QString apres = f(avant);
        if (apres != avant) poser(apres);
    };
    if (auto* a = qobject_cast<QAction*>(o)) {
        if (a->isSeparator()) return;
        changer(a->toolTip() == QString(a->text()).remove(QLatin1Char('&')) ? QString() : a->toolTip(),
                [a](const QString& t) { a->setToolTip(t); });
        changer(a->statusTip(), [a](const QString& t) { a->setStatusTip(t); });
        changer(a->text(), [a](const QString& t) { a->setText(t); });
        return;
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (!w) return;
    // "Hint"
    changer(w->toolTip(), [w](const QString& t) { w->setToolTip(t); });
    changer(w->statusTip(), [w](const QString& t) { w->setStatusTip(t); });
    // "Caption"
    if (w->isWindow() && !qobject_cast<QMenu*>(w))
        changer(w->windowTitle(), [w](const QString& t) { w->setWindowTitle(t); });
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        changer(b->text(), [b](const QString& t) { b->setText(t); });
    else if (auto* l = qobject_cast<QLabel*>(w))
        changer(l->text(), [l](const QString& t) { l->setText(t); });
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        changer(g->title(), [g](const QString& t) { g->setTitle(t); });
    else if (auto* m = qobject_cast<QMenu*>(w))
        changer(m->title(), [m](const QString& t) { m->setTitle(t); });
    else if (auto* d = qobject_cast<QDockWidget*>(w))
        changer(d->windowTitle(), [d](const QString& t) { d->setWindowTitle(t); });
    // "Items"
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < c->count(); ++i)
            changer(c->itemText(i), [c, i](const QString& t) { c->setItemText(i, t); });
        if (c->isEditable() && c->currentIndex() < 0)
            changer(c->currentText(), [c](const QString& t) { c->setEditText(t); });
    } else if (auto* lw = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < lw->count(); ++i) {
            QListWidgetItem* it = lw->item(i);
            changer(it->text(), [it](const QString& t) { it->setText(t); });
        }
    }
    // "Pages"
    if (auto* tw = qobject_cast<QTabWidget*>(w))
        for (int i = 0; i < tw->count(); ++i)
            changer(tw->tabText(i), [tw, i](const QString& t) { tw->setTabText(i, t); });
    // "Lines"
    auto lignes = [&f](const QString& avant, auto&& poser) {
        const QString apres = ParLignes(avant, f);
        if (!avant.isEmpty() && apres != avant) poser(apres);
    };
    if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
        if (pe->isReadOnly())
            lignes(pe->toPlainText(), [pe](const QString& t) { pe->setPlainText(t); });
    } else if (auto* te = qobject_cast<QTextEdit*>(w)) {
        if (te->isReadOnly() && !te->acceptRichText())
            lignes(te->toPlainText(), [te](const QString& t) { te->setPlainText(t); });
    }
    // "Text": what an edit field holds as designed; a combo box's editor is its own.
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (!qobject_cast<QComboBox*>(e->parentWidget())) {
            changer(e->text(), [e](const QString& t) { e->setText(t); });
            changer(e->placeholderText(), [e](const QString& t) { e->setPlaceholderText(t); });
        }
    }
}

void Parcours(QObject* o, const Fonction& f, bool racine) {
    if (!racine) {
        // A child window is another form or dialog (translated by its own translator, or
        // meant to stay French); a menu is a popup of this form.
        if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow() && !qobject_cast<QMenu*>(w))
            return;
    }
    TraduireObjet(o, f);
    const QObjectList enfants = o->children(); // a copy: translating changes no children
    for (QObject* e : enfants) Parcours(e, f, false);
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

void Traducteur::Parcourir(QWidget* forme, const Fonction& f) {
    if (forme) Parcours(forme, f, true);
}

void Traducteur::TraduireAvec(QWidget* forme, const Dictionnaire& d) {
    Parcourir(forme, [&d](const QString& t) { return d.Traduire(t); });
}

QStringList Traducteur::Textes(QWidget* forme) {
    QStringList r;
    Parcourir(forme, [&r](const QString& t) {
        r << t;
        return t;
    });
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
        if (Dictionnaire* d = Dictionnaire::Trouver(QString::fromLatin1(Dictionnaire::kNomDictionary)))
            Translator.FixerDictionary(d);
        Translator.Traduire(this);
    } catch (...) {
        // A translation that fails leaves the form as far as it was translated.
    }
}

} // namespace kinepo

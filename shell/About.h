#pragma once
// The about box "A propos", shown modally by the launcher.
#include <QDialog>

class QComboBox;
class QIcon;
class QLabel;
class QPushButton;

namespace kinepo {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    QLabel* Version = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Credit = nullptr;
    QPushButton* OKButton = nullptr;
    // The language of the translatable forms, listed from the launcher's dictionary (hidden
    // when no dictionary was found). A choice takes effect at once and is saved.
    QComboBox* LangueCB = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void remplirLangues();
    QLabel* etiquetteLangue_ = nullptr;
};

// "Version <n> du <date>".
QString TexteVersion();

// The program's icon (the one the desktop entry shows), drawn at the usual sizes.
QIcon IconeProgramme();

} // namespace kinepo

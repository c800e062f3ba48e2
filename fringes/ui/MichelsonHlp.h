#pragma once
// "Aide Michelson": how to set up the camera for fringe tracking. A fixed dialog, always on
// top, filled by a read-only text. A plain dialog: it stays in French whatever the language.
#include <QDialog>

class QPlainTextEdit;

namespace kinepo {

class TMichelsonHlp : public QDialog {
    Q_OBJECT
public:
    explicit TMichelsonHlp(QWidget* parent = nullptr);
    // The fifteen lines of the text.
    static QStringList Lignes();
    QPlainTextEdit* Memo1;
};

} // namespace kinepo

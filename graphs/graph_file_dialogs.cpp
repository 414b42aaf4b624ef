#include "graphs/graph_file_dialogs.h"

namespace zorvan::graphs {

namespace {

QString runDialog(QWidget* parent, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent);
    configureTextFileDialog(dialog, mode);
    return chosenFile(dialog);
}

} // namespace

QString chosenFile(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().front()
               : QString();
}

void configureTextFileDialog(QFileDialog& dialog, QFileDialog::AcceptMode mode) {
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // Shown without the last bracketed patterns: "Текстовый (*.txt)" and "Все".
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters({QStringLiteral("Текстовый (*.txt) (*.txt)"), QStringLiteral("Все (*)")});
}

QString chooseFileToSave(QWidget* parent) {
    return runDialog(parent, QFileDialog::AcceptSave);
}

QString chooseFileToOpen(QWidget* parent) {
    return runDialog(parent, QFileDialog::AcceptOpen);
}

} // namespace zorvan::graphs

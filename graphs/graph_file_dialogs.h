#pragma once

// The file dialogs of the graph and sweep windows: text files, the filters "Текстовый (*.txt)"
// and "Все", and ".txt" added to a name typed without an extension.

#include <QFileDialog>
#include <QString>

class QWidget;

namespace zorvan::graphs {

void configureTextFileDialog(QFileDialog& dialog, QFileDialog::AcceptMode mode);

// Runs `dialog`; the chosen file, or empty on cancel.
QString chosenFile(QFileDialog& dialog);

// Runs such a dialog over `parent`; the chosen file, or empty on cancel.
QString chooseFileToSave(QWidget* parent);
QString chooseFileToOpen(QWidget* parent);

} // namespace zorvan::graphs

#include "panel/instrument_window.h"

#include "panel/main_form.h"

#include <QCoreApplication>

namespace zorvan::panel {

TfmZorvanNum::TfmZorvanNum(int n, QWidget* parent) : InstrumentPanel(n - 1, parent) {
    setWindowTitle(QStringLiteral("   Zorvan 4X, 8X   , Dop 2, ") +
                   QCoreApplication::applicationFilePath());
    laNumPribor = new QLabel(QString::number(n), this);
    laNumPribor->move(256, 4);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    laNumPribor->setFont(font);
    laNumPribor->setStyleSheet(QStringLiteral("color: yellow; background: transparent;"));
    if (MainFormTestIndZorvan4) {
        showArtwork(MainFormTestIndZorvan4->artwork43);
    }
    laZorvanVersiya->clear();
    MainPopupMenu = new InstrumentMenu(this);
}

void TfmZorvanNum::CloseImageClick() {
    if (MainFormTestIndZorvan4) {
        MainFormTestIndZorvan4->CloseImageClick();
    }
}

void TfmZorvanNum::MainImageContextMenu(QPoint globalPos) {
    MainPopupMenu->popup(globalPos);
}

void TfmZorvanNum::ButtonPustoKeyDown(QKeyEvent* event) {
    if (serviceSequence.keyDown(*event) && MainFormTestIndZorvan4) {
        MainFormTestIndZorvan4->MainPopupMenu->toggleServiceItemsFromInstrumentWindow();
    }
}

} // namespace zorvan::panel

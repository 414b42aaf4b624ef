#include "panel/message_window.h"

#include "ui/reveal.h"
#include "ui/window_position.h"
#include "ui/window_region.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

namespace zorvan::panel {

namespace {

constexpr QSize kWindowSize{205, 103};
constexpr QColor kPanelColour{128, 0, 0};
constexpr int kTextHeight = 81;
constexpr int kTextPixelSize = 13;
constexpr QRect kOkButton{64, 56, 75, 25};
constexpr int kFocusHolderDesignSize = 9;

} // namespace

TFormMessage::TFormMessage(QWidget* owner)
    : ui::BorderlessWindow(owner), paMessage(new QWidget(this)), laMessage(new QLabel(this)),
      BitBtnOK(new QPushButton(this)), ButtonPusto(new QPushButton(this)) {
    setFixedSize(kWindowSize);

    paMessage->setObjectName(QStringLiteral("paMessage"));
    paMessage->setGeometry(rect());
    paMessage->setAutoFillBackground(true);
    QPalette panelPalette = paMessage->palette();
    panelPalette.setColor(QPalette::Window, kPanelColour);
    paMessage->setPalette(panelPalette);

    // A sibling of the panel rather than its child: a press on the label is then not
    // passed on to the panel as well, which would start the drag twice.
    laMessage->setObjectName(QStringLiteral("laMessage"));
    laMessage->setGeometry(0, height() - kTextHeight, width(), kTextHeight);
    laMessage->setText(QStringLiteral("Ошибка связи с прибором !"));
    laMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    laMessage->setWordWrap(true);
    QFont textFont = laMessage->font();
    textFont.setPixelSize(kTextPixelSize);
    laMessage->setFont(textFont);
    QPalette textPalette = laMessage->palette();
    textPalette.setColor(QPalette::WindowText, Qt::white);
    laMessage->setPalette(textPalette);

    BitBtnOK->setObjectName(QStringLiteral("BitBtnOK"));
    BitBtnOK->setText(QStringLiteral("OK"));
    BitBtnOK->setGeometry(kOkButton);
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormMessage::BitBtnOKClick);

    ButtonPusto->setObjectName(QStringLiteral("ButtonPusto"));
    ButtonPusto->resize(kFocusHolderDesignSize, kFocusHolderDesignSize);

    setOutline(ui::roundRectRegion(5, 5, width() - 5, height() - 5, 20, 15));
    dragWith(paMessage);
    dragWith(laMessage);
}

void TFormMessage::showMessageWindow(QWidget* owner) {
    // The owner deletes its child windows with itself, so it may take this one along while
    // the modal loop runs.
    QPointer<TFormMessage> FormMessage = new TFormMessage(owner);
    FormMessage->showModal();
    delete FormMessage;
}

void TFormMessage::showEvent(QShowEvent* event) {
    ui::BorderlessWindow::showEvent(event);
    // Restoring a minimised application shows the window again; only the first showing
    // opens it.
    if (!event->spontaneous() && phase() == Phase::Idle) {
        FormShow();
    }
}

void TFormMessage::FormShow() {
    startReveal(ui::cornerEllipseReveal(size()));
    placeOverOwner();
    ButtonPusto->resize(0, 0);
    ButtonPusto->setFocus();
}

void TFormMessage::BitBtnOKClick() {
    close();
}

void TFormMessage::placeOverOwner() {
    const QWidget* owner = parentWidget();
    const QRect ownerArea = owner != nullptr ? owner->geometry() : ui::screenArea({});
    const QPoint wanted = ui::positionOverOwner(ownerArea, size());
    move(ui::clampToScreen(wanted, size(), ui::screenArea(ownerArea.center())));
}

} // namespace zorvan::panel

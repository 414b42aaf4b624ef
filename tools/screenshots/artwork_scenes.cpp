// Every piece of artwork, and bare windows part of the way through their reveal animations.
#include "resources/artwork.h"
#include "tools/screenshots/scene_pictures.h"
#include "tools/screenshots/scenes.h"
#include "ui/artwork_pixmap.h"
#include "ui/borderless_window.h"
#include "ui/title_bar_button.h"
#include "ui/window_region.h"

#include <QLabel>

namespace zorvan::screenshots {

namespace {

namespace res = resources;
using ui::BorderlessWindow;

// Every piece of artwork at its size and three times larger.
void artworkPieces() {
    for (res::Artwork artwork : res::kAllArtwork) {
        const QString name = res::artworkName(artwork);
        savePicture(ui::artworkPixmap(artwork, 1.0).toImage(), name);
        savePicture(ui::artworkPixmap(artwork, 3.0).toImage(), name + QStringLiteral("_x3"));
    }
}

// A bare front panel of the kind with its lamps, title-bar buttons and a pressed key.
void buildPanel(BorderlessWindow& window, res::PanelKind kind) {
    const auto place = [&](res::Artwork artwork, QPoint at) {
        auto* label = new QLabel(&window);
        label->setPixmap(ui::artworkPixmap(artwork));
        label->setGeometry(QRect(at, res::artworkSize(artwork)));
    };
    window.resize(278, 227);
    window.setOutline(ui::roundRectRegion(5, 0, 273, 227, 30, 30));
    place(res::frontArtwork(kind), {0, 0});
    (new ui::TitleBarButton(res::TitleButton::Minimize, &window))->move(184, 0);
    (new ui::TitleBarButton(res::TitleButton::Close, &window))->move(209, 0);
    place(res::Artwork::LampStab, {159, 103});
    place(res::Artwork::LampTare, {43, 103});
    if (kind == res::PanelKind::Kind80) {
        place(res::Artwork::LampOutput, {217, 103});
    }
    place(res::pressedKeyArtwork(kind, res::PanelKey::F1), {140, 148});
}

void stage(BorderlessWindow& window, int ticks, const QString& name) {
    for (int i = 0; i < ticks; ++i) {
        window.openingTick();
    }
    save(window, name);
}

// Both panel kinds, the message window and a settings window part of the way through their
// reveals.
void revealStages() {
    BorderlessWindow panel43;
    buildPanel(panel43, res::PanelKind::Kind43);
    panel43.startReveal(ui::centreEllipseReveal(panel43.size()));
    stage(panel43, 10, QStringLiteral("window_43_r51"));
    stage(panel43, 18, QStringLiteral("window_43_r141"));
    BorderlessWindow panel80;
    buildPanel(panel80, res::PanelKind::Kind80);
    panel80.startReveal(ui::centreEllipseReveal(panel80.size()));
    stage(panel80, 56, QStringLiteral("window_80_open"));
    BorderlessWindow message;
    message.resize(205, 103);
    message.setStyleSheet(QStringLiteral("background: rgb(128, 0, 0)"));
    message.setOutline(ui::roundRectRegion(5, 5, 200, 98, 20, 15));
    message.startReveal(ui::cornerEllipseReveal(message.size()));
    stage(message, 12, QStringLiteral("window_message_r181"));
    BorderlessWindow settings;
    settings.resize(412, 297);
    settings.setStyleSheet(QStringLiteral("background: rgb(51, 51, 51)"));
    settings.setOutline(ui::roundRectRegion(5, 0, 407, 292, 20, 15));
    settings.startReveal(ui::topDownReveal(settings.width()));
    stage(settings, 30, QStringLiteral("window_settings_h152"));
}

} // namespace

void artworkScenes() {
    artworkPieces();
    revealStages();
}

} // namespace zorvan::screenshots

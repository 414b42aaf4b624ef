#include "resources/artwork.h"
#include "tests/support/picture_folder.h"
#include "ui/artwork_pixmap.h"
#include "ui/borderless_window.h"
#include "ui/title_bar_button.h"
#include "ui/window_picture.h"
#include "ui/window_region.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zorvan::ui {
namespace {

using resources::Artwork;

// Renders every piece of artwork and sample windows at several animation stages into
// $ZORVAN_PICTURES_DIR (a temporary folder when unset), so they can be looked at.
using Pictures = zorvan::testing::PictureTest;

QLabel* placePicture(QWidget* parent, Artwork artwork, QPoint at) {
    auto* label = new QLabel(parent);
    label->setPixmap(artworkPixmap(artwork));
    label->setGeometry(QRect(at, resources::artworkSize(artwork)));
    return label;
}

void buildPanel(BorderlessWindow& window, resources::PanelKind kind) {
    window.resize(278, 227);
    window.setOutline(roundRectRegion(5, 0, 273, 227, 30, 30));
    placePicture(&window, resources::frontArtwork(kind), {0, 0});
    (new TitleBarButton(resources::TitleButton::Minimize, &window))->move(184, 0);
    (new TitleBarButton(resources::TitleButton::Close, &window))->move(209, 0);
    placePicture(&window, Artwork::LampStab, {159, 103});
    placePicture(&window, Artwork::LampTare, {43, 103});
    if (kind == resources::PanelKind::Kind80) {
        placePicture(&window, Artwork::LampOutput, {217, 103});
    }
    placePicture(&window, resources::pressedKeyArtwork(kind, resources::PanelKey::F1), {140, 148});
}

bool opaqueAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 255;
}

// Every pixel of a partly revealed picture is either clear or the open window's own.
int pixelsNotFromTheOpenWindow(const QImage& partial, const QImage& open) {
    int wrong = 0;
    for (int y = 0; y < partial.height(); ++y) {
        for (int x = 0; x < partial.width(); ++x) {
            const QRgb pixel = partial.pixel(x, y);
            if (qAlpha(pixel) != 0 && pixel != open.pixel(x, y)) {
                ++wrong;
            }
        }
    }
    return wrong;
}

TEST_F(Pictures, EveryArtworkPiece) {
    for (Artwork artwork : resources::kAllArtwork) {
        save(artworkPixmap(artwork).toImage(), resources::artworkName(artwork));
        save(artworkPixmap(artwork, 3.0).toImage(),
             resources::artworkName(artwork) + QStringLiteral("_x3"));
    }
}

TEST_F(Pictures, PanelWindowThroughItsOpening) {
    BorderlessWindow window;
    buildPanel(window, resources::PanelKind::Kind43);
    window.startReveal(centreEllipseReveal(window.size()));
    save(renderWindowPicture(window), QStringLiteral("window_43_start"));

    for (int i = 0; i < 10; ++i) {
        window.openingTick();
    }
    const QImage early = renderWindowPicture(window);
    save(early, QStringLiteral("window_43_r51"));
    EXPECT_TRUE(opaqueAt(early, 139, 113));
    EXPECT_FALSE(opaqueAt(early, 139, 20));

    for (int i = 0; i < 18; ++i) {
        window.openingTick();
    }
    save(renderWindowPicture(window), QStringLiteral("window_43_r141"));

    for (int i = 0; i < 28; ++i) {
        window.openingTick();
    }
    const QImage open = renderWindowPicture(window);
    save(open, QStringLiteral("window_43_open"));
    EXPECT_TRUE(opaqueAt(open, 139, 113));
    EXPECT_TRUE(opaqueAt(open, 20, 0));
    EXPECT_FALSE(opaqueAt(open, 5, 0));
    EXPECT_FALSE(opaqueAt(open, 2, 113));
    EXPECT_EQ(pixelsNotFromTheOpenWindow(early, open), 0);
}

TEST_F(Pictures, OtherShapesMidway) {
    BorderlessWindow panel;
    buildPanel(panel, resources::PanelKind::Kind80);
    panel.startReveal(centreEllipseReveal(panel.size()));
    for (int i = 0; i < 56; ++i) {
        panel.openingTick();
    }
    save(renderWindowPicture(panel), QStringLiteral("window_80_open"));

    BorderlessWindow message;
    message.resize(205, 103);
    message.setStyleSheet(QStringLiteral("background: rgb(128, 0, 0)"));
    message.setOutline(roundRectRegion(5, 5, 200, 98, 20, 15));
    message.startReveal(cornerEllipseReveal(message.size()));
    for (int i = 0; i < 12; ++i) {
        message.openingTick();
    }
    save(renderWindowPicture(message), QStringLiteral("window_message_r181"));

    BorderlessWindow settings;
    settings.resize(412, 297);
    settings.setStyleSheet(QStringLiteral("background: rgb(51, 51, 51)"));
    settings.setOutline(roundRectRegion(5, 0, 407, 292, 20, 15));
    settings.startReveal(topDownReveal(settings.width()));
    for (int i = 0; i < 30; ++i) {
        settings.openingTick();
    }
    save(renderWindowPicture(settings), QStringLiteral("window_settings_h152"));
}

} // namespace
} // namespace zorvan::ui

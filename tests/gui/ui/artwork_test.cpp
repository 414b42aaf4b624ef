#include "resources/artwork.h"
#include "ui/artwork_pixmap.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace zorvan::ui {
namespace {

using resources::Artwork;

bool opaqueAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 255;
}

bool transparentAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 0;
}

TEST(Artwork, EveryPieceLoadsAtItsSize) {
    for (Artwork artwork : resources::kAllArtwork) {
        SCOPED_TRACE(resources::artworkName(artwork).toStdString());
        const QPixmap pixmap = artworkPixmap(artwork);
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.size(), resources::artworkSize(artwork));
        const QImage image = pixmap.toImage();
        EXPECT_TRUE(opaqueAt(image, image.width() / 2, image.height() / 2));
    }
}

// The letters look the same on every system only if every piece names the font the program
// carries, and the program carries it.
TEST(Artwork, LettersAreSetInTheFontTheProgramCarries) {
    const int carried =
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Bold.ttf"));
    ASSERT_GE(carried, 0);
    const QStringList families = QFontDatabase::applicationFontFamilies(carried);
    ASSERT_EQ(families, QStringList{QStringLiteral("Liberation Sans")});
    const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    for (Artwork artwork : resources::kAllArtwork) {
        QFile svg(resources::artworkPath(artwork));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(svg.readAll());
        for (const QRegularExpressionMatch& match : family.globalMatch(text)) {
            EXPECT_EQ(match.captured(1), families.front())
                << resources::artworkName(artwork).toStdString();
        }
    }
}

TEST(Artwork, ScaledScreensGetSharperPixmapsOfTheSameLogicalSize) {
    const QPixmap pixmap = artworkPixmap(Artwork::FrontKind80, 2.0);
    EXPECT_EQ(pixmap.size(), QSize(556, 454));
    EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(278, 227));
}

TEST(Artwork, PiecesCoverWhatTheyAreLaidOver) {
    // The front ends at the window's rounded outline.
    for (Artwork front : {Artwork::FrontKind43, Artwork::FrontKind80}) {
        const QImage image = artworkPixmap(front).toImage();
        EXPECT_TRUE(transparentAt(image, 2, 100));
        EXPECT_TRUE(transparentAt(image, 6, 1));
        EXPECT_TRUE(opaqueAt(image, 139, 2));
    }
    // A pressed key hides the raised key below it, shadow included.
    for (resources::PanelKind kind : {resources::PanelKind::Kind43, resources::PanelKind::Kind80}) {
        const QImage image =
            artworkPixmap(resources::pressedKeyArtwork(kind, resources::PanelKey::F2)).toImage();
        for (QPoint corner : {QPoint(0, 0), QPoint(57, 0), QPoint(0, 57), QPoint(57, 57)}) {
            EXPECT_TRUE(opaqueAt(image, corner.x(), corner.y()));
        }
    }
    // A lit lamp glows over the unlit spot but leaves its box corners clear.
    const QImage lamp = artworkPixmap(Artwork::LampOutput).toImage();
    EXPECT_TRUE(transparentAt(lamp, 0, 0));
}

TEST(Artwork, PressedKeysMatchTheKeysDrawnOnTheFront) {
    // Outside the key itself the pressed picture shows exactly the front behind it.
    const QPoint keyCells[] = {{23, 148}, {82, 148}, {140, 148}, {198, 148}};
    const resources::PanelKey keys[] = {resources::PanelKey::T, resources::PanelKey::Zero,
                                        resources::PanelKey::F1, resources::PanelKey::F2};
    for (resources::PanelKind kind : {resources::PanelKind::Kind43, resources::PanelKind::Kind80}) {
        const QImage front = artworkPixmap(resources::frontArtwork(kind)).toImage();
        for (int k = 0; k < 4; ++k) {
            const QImage key = artworkPixmap(resources::pressedKeyArtwork(kind, keys[k])).toImage();
            const QPoint cell = keyCells[k];
            EXPECT_EQ(key.pixel(0, 30), front.pixel(cell.x(), cell.y() + 30));
            EXPECT_EQ(key.pixel(57, 30), front.pixel(cell.x() + 57, cell.y() + 30));
            // The key face itself differs: it is pressed in.
            EXPECT_NE(key.pixel(29, 10), front.pixel(cell.x() + 29, cell.y() + 10));
        }
    }
}

} // namespace
} // namespace zorvan::ui

#pragma once

#include <QSize>
#include <QString>
#include <array>

namespace zorvan::resources {

// The two front-panel designs: instruments whose versionByte1 is below 80 and those
// with 80 or more (the latter carry the discrete-output switch).
enum class PanelKind { Kind43, Kind80 };

enum class PanelKey { T, Zero, F1, F2 };

enum class Lamp { Tare, Zero, Stab, Output };

enum class TitleButton { Minimize, Close };

enum class TitleButtonLook { Normal, Hover, Pressed };

// Every picture of the program. Each one is an SVG drawn for exactly one pixel size.
enum class Artwork {
    FrontKind43,
    FrontKind80,
    KeyTKind43,
    KeyZeroKind43,
    KeyF1Kind43,
    KeyF2Kind43,
    KeyTKind80,
    KeyZeroKind80,
    KeyF1Kind80,
    KeyF2Kind80,
    LampTare,
    LampZero,
    LampStab,
    LampOutput,
    MinimizeNormal,
    MinimizeHover,
    MinimizePressed,
    CloseNormal,
    CloseHover,
    ClosePressed,
};

inline constexpr std::array kAllArtwork{
    Artwork::FrontKind43,     Artwork::FrontKind80, Artwork::KeyTKind43,     Artwork::KeyZeroKind43,
    Artwork::KeyF1Kind43,     Artwork::KeyF2Kind43, Artwork::KeyTKind80,     Artwork::KeyZeroKind80,
    Artwork::KeyF1Kind80,     Artwork::KeyF2Kind80, Artwork::LampTare,       Artwork::LampZero,
    Artwork::LampStab,        Artwork::LampOutput,  Artwork::MinimizeNormal, Artwork::MinimizeHover,
    Artwork::MinimizePressed, Artwork::CloseNormal, Artwork::CloseHover,     Artwork::ClosePressed,
};

// Base name of the SVG file, e.g. "front_43"; also used for rendered copies.
QString artworkName(Artwork artwork);

// Path of the SVG in the Qt resource system, e.g. ":/artwork/front_43.svg".
QString artworkPath(Artwork artwork);

// The pixel size the picture is drawn for.
QSize artworkSize(Artwork artwork);

Artwork frontArtwork(PanelKind kind);
Artwork pressedKeyArtwork(PanelKind kind, PanelKey key);
Artwork lampArtwork(Lamp lamp);
Artwork titleButtonArtwork(TitleButton button, TitleButtonLook look);

} // namespace zorvan::resources

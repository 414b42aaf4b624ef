#include "resources/artwork.h"

namespace zorvan::resources {

namespace {

const QSize kFrontSize{278, 227};
const QSize kKeySize{58, 58};
const QSize kLampSize{20, 20};
const QSize kMinimizeSize{28, 20};
const QSize kCloseSize{46, 20};

struct ArtworkEntry {
    const char* name;
    QSize size;
};

ArtworkEntry entryOf(Artwork artwork) {
    switch (artwork) {
    case Artwork::FrontKind43:
        return {"front_43", kFrontSize};
    case Artwork::FrontKind80:
        return {"front_80", kFrontSize};
    case Artwork::KeyTKind43:
        return {"key_t_43", kKeySize};
    case Artwork::KeyZeroKind43:
        return {"key_0_43", kKeySize};
    case Artwork::KeyF1Kind43:
        return {"key_f1_43", kKeySize};
    case Artwork::KeyF2Kind43:
        return {"key_f2_43", kKeySize};
    case Artwork::KeyTKind80:
        return {"key_t_80", kKeySize};
    case Artwork::KeyZeroKind80:
        return {"key_0_80", kKeySize};
    case Artwork::KeyF1Kind80:
        return {"key_f1_80", kKeySize};
    case Artwork::KeyF2Kind80:
        return {"key_f2_80", kKeySize};
    case Artwork::LampTare:
        return {"lamp_tare", kLampSize};
    case Artwork::LampZero:
        return {"lamp_zero", kLampSize};
    case Artwork::LampStab:
        return {"lamp_stab", kLampSize};
    case Artwork::LampOutput:
        return {"lamp_output", kLampSize};
    case Artwork::MinimizeNormal:
        return {"minimize_normal", kMinimizeSize};
    case Artwork::MinimizeHover:
        return {"minimize_hover", kMinimizeSize};
    case Artwork::MinimizePressed:
        return {"minimize_pressed", kMinimizeSize};
    case Artwork::CloseNormal:
        return {"close_normal", kCloseSize};
    case Artwork::CloseHover:
        return {"close_hover", kCloseSize};
    case Artwork::ClosePressed:
        return {"close_pressed", kCloseSize};
    }
    return {"", {}};
}

} // namespace

QString artworkName(Artwork artwork) {
    return QString::fromLatin1(entryOf(artwork).name);
}

QString artworkPath(Artwork artwork) {
    return QStringLiteral(":/artwork/%1.svg").arg(artworkName(artwork));
}

QSize artworkSize(Artwork artwork) {
    return entryOf(artwork).size;
}

Artwork frontArtwork(PanelKind kind) {
    return kind == PanelKind::Kind43 ? Artwork::FrontKind43 : Artwork::FrontKind80;
}

Artwork pressedKeyArtwork(PanelKind kind, PanelKey key) {
    static constexpr std::array kKind43{Artwork::KeyTKind43, Artwork::KeyZeroKind43,
                                        Artwork::KeyF1Kind43, Artwork::KeyF2Kind43};
    static constexpr std::array kKind80{Artwork::KeyTKind80, Artwork::KeyZeroKind80,
                                        Artwork::KeyF1Kind80, Artwork::KeyF2Kind80};
    const auto index = static_cast<std::size_t>(key);
    return kind == PanelKind::Kind43 ? kKind43[index] : kKind80[index];
}

Artwork lampArtwork(Lamp lamp) {
    static constexpr std::array kLamps{Artwork::LampTare, Artwork::LampZero, Artwork::LampStab,
                                       Artwork::LampOutput};
    return kLamps[static_cast<std::size_t>(lamp)];
}

Artwork titleButtonArtwork(TitleButton button, TitleButtonLook look) {
    static constexpr std::array kMinimize{Artwork::MinimizeNormal, Artwork::MinimizeHover,
                                          Artwork::MinimizePressed};
    static constexpr std::array kClose{Artwork::CloseNormal, Artwork::CloseHover,
                                       Artwork::ClosePressed};
    const auto index = static_cast<std::size_t>(look);
    return button == TitleButton::Minimize ? kMinimize[index] : kClose[index];
}

} // namespace zorvan::resources

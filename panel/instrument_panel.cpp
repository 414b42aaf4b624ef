#include "panel/instrument_panel.h"

#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/workers.h"
#include "panel/key_areas.h"
#include "panel/panel_state.h"
#include "ui/application_title.h"
#include "ui/artwork_view.h"
#include "ui/reveal.h"
#include "ui/window_position.h"
#include "ui/window_region.h"

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>

namespace zorvan::panel {
namespace {

// The indicator window of the front picture holds six positions side by side.
constexpr int kIndicatorLeft = 27;
constexpr int kIndicatorTop = 36;
constexpr int kPositionWidth = 37;
constexpr int kPositionHeight = 58;
constexpr int kKeySize = 58;
constexpr int kLampTop = 103;
constexpr int kLampSize = 20;
constexpr int kMessageLeft = 26;
constexpr int kMessageWidth = 224;
constexpr int kCornerEllipse = 30;
constexpr int kOutlineInset = 5;
const QColor kVersionHighlight(255, 255, 0);
// Captions stand on the dark front, so they are light where the desktop's text is dark.
const QColor kCaptionColour(214, 218, 224);

ui::ArtworkView* picture(QWidget* parent, QPoint at, resources::Artwork artwork) {
    auto* view = new ui::ArtworkView(artwork, parent);
    view->move(at);
    return view;
}

ui::ArtworkView* lamp(QWidget* parent, resources::Lamp which, int left) {
    auto* label = picture(parent, {left, kLampTop}, resources::lampArtwork(which));
    label->resize(kLampSize, kLampSize);
    label->hide();
    return label;
}

// A line cut to the label's width: a word wrap cannot break a long port name. The cut falls in
// the middle of the quoted name when there is one, so the words around it and the name's both
// ends stay in sight.
QString elidedLine(const QString& line, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(line) <= width) {
        return line;
    }
    const qsizetype open = line.indexOf(u'"');
    const qsizetype close = line.lastIndexOf(u'"');
    if (open < 0 || close <= open) {
        return metrics.elidedText(line, Qt::ElideMiddle, width);
    }
    const QString before = line.left(open + 1);
    const QString after = line.mid(close);
    const int room = width - metrics.horizontalAdvance(before + after);
    const QString name = line.mid(open + 1, close - open - 1);
    return before + metrics.elidedText(name, Qt::ElideMiddle, std::max(room, 0)) + after;
}

QString elidedLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        line = elidedLine(line, metrics, width);
    }
    return lines.join(u'\n');
}

// The caption's width comes from the font the system gives for Arial: where that one is wider
// (a system without Arial), the caption is set smaller rather than cut at the window's edge.
void fitCaption(QCheckBox& box, QPoint at, int room) {
    constexpr int kPixelSize = 12;
    constexpr int kSmallestPixelSize = 9;
    constexpr int kHeight = 17;
    QFont font(QStringLiteral("Arial"));
    for (int size = kPixelSize; size >= kSmallestPixelSize; --size) {
        font.setPixelSize(size);
        box.setFont(font);
        if (box.sizeHint().width() <= room) {
            break;
        }
    }
    box.setGeometry(QRect(at, QSize(std::min(box.sizeHint().width(), room), kHeight)));
}

} // namespace

ArtworkSet artworkSetOf(resources::PanelKind kind) {
    using resources::PanelKey;
    ArtworkSet set;
    set.front = resources::frontArtwork(kind);
    const std::array keys{PanelKey::T, PanelKey::Zero, PanelKey::F1, PanelKey::F2};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        set.keys[i] = resources::pressedKeyArtwork(kind, keys[i]);
    }
    return set;
}

InstrumentPanel::InstrumentPanel(int device, QWidget* parent)
    : ui::BorderlessWindow(parent), device_(device) {
    forgetShownState(device);
    setFixedSize(kWidth, kHeight);
    // Every panel is titled by the application, which names the instrument kind once known.
    setWindowTitle(ui::applicationTitle());
    connect(&ui::ApplicationTitle::instance(), &ui::ApplicationTitle::changed, this,
            [this](const QString& title) { setWindowTitle(title); });
    const ArtworkSet design = artworkSetOf(resources::PanelKind::Kind43);

    MainImage = picture(this, {0, 0}, design.front);
    MainImage->setMouseTracking(true);
    MainImage->installEventFilter(this);

    for (int i = 0; i < 6; ++i) {
        positions_[i] = new IndicatorPositionWidget(this);
        positions_[i]->setGeometry(kIndicatorLeft + i * kPositionWidth, kIndicatorTop,
                                   kPositionWidth, kPositionHeight);
    }

    // The pressed pictures lie exactly over the keys' hit areas.
    const auto keyPicture = [&](PanelKey key) {
        return picture(this, {keyArea(key).left, kKeyRowTop},
                       design.keys[static_cast<std::size_t>(key)]);
    };
    imKlavishaT = keyPicture(PanelKey::T);
    imKlavisha_0_ = keyPicture(PanelKey::Zero);
    imKlavishaF1 = keyPicture(PanelKey::F1);
    imKlavishaF2 = keyPicture(PanelKey::F2);
    for (ui::ArtworkView* key : pressedKeys()) {
        key->resize(kKeySize, kKeySize);
        // A second click on a key still pressed reaches the front picture.
        key->setAttribute(Qt::WA_TransparentForMouseEvents);
        key->hide();
    }

    imTare = lamp(this, resources::Lamp::Tare, 43);
    imZero = lamp(this, resources::Lamp::Zero, 101);
    imStab = lamp(this, resources::Lamp::Stab, 159);
    imData = lamp(this, resources::Lamp::Output, 217);
    for (ui::ArtworkView* passive : {imTare, imZero, imStab}) {
        passive->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    imData->setMouseTracking(true);
    imData->installEventFilter(this);

    MinimizeImage = new ui::TitleBarButton(resources::TitleButton::Minimize, this);
    MinimizeImage->setGeometry(184, 0, 28, 20);
    CloseImage = new ui::TitleBarButton(resources::TitleButton::Close, this);
    CloseImage->setGeometry(209, 0, 46, 20);
    MinimizeImage->installEventFilter(this);
    CloseImage->installEventFilter(this);
    connect(MinimizeImage, &ui::TitleBarButton::clicked, this, [this] { MinimizeImageClick(); });
    connect(CloseImage, &ui::TitleBarButton::clicked, this, [this] { CloseImageClick(); });

    laZorvanVersiya = new QLabel(this);
    laZorvanVersiya->move(185, 21);
    laZorvanVersiya->resize(80, 14);
    laZorvanVersiya->setMouseTracking(true);
    laZorvanVersiya->installEventFilter(this);
    highlightVersion(false);

    stIndSoobsch = new QLabel(this);
    stIndSoobsch->setAlignment(Qt::AlignCenter);
    stIndSoobsch->setStyleSheet(
        QStringLiteral("color: white; background: rgb(96, 96, 96); border-radius: 3px;"));
    stIndSoobsch->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont messageFont = positions_[0]->font();
    stIndSoobsch->setFont(messageFont);
    showIndicatorMessage(QStringLiteral("Идёт подключение\nк прибору ..."), 14, 43, 49);

    CheckBoxBlockKeyboard = new QCheckBox(QStringLiteral("Блокировка клавиатуры прибора"), this);
    CheckBoxBlockKeyboard->setStyleSheet(
        QStringLiteral("QCheckBox { color: %1; }").arg(kCaptionColour.name()));
    fitCaption(*CheckBoxBlockKeyboard, {33, 207}, kWidth - 33 - kOutlineInset);
    CheckBoxBlockKeyboard->setCursor(Qt::PointingHandCursor);
    CheckBoxBlockKeyboard->setFocusPolicy(Qt::NoFocus);
    CheckBoxBlockKeyboard->hide();
    connect(CheckBoxBlockKeyboard, &QCheckBox::clicked, this,
            [this] { CheckBoxBlockKeyboardClick(); });

    // Keyboard input of the window goes to this invisible button and never to the panel.
    ButtonPusto = new QPushButton(this);
    ButtonPusto->setGeometry(0, 0, 0, 0);
    ButtonPusto->installEventFilter(this);

    TimerViewPressKeys.setInterval(1);
    connect(&TimerViewPressKeys, &QTimer::timeout, this, [this] { TimerViewPressKeysTimer(); });
    TimerViewPressDigitalOut.setInterval(1);
    connect(&TimerViewPressDigitalOut, &QTimer::timeout, this,
            [this] { TimerViewPressDigitalOutTimer(); });

    setOutline(ui::roundRectRegion(kOutlineInset, 0, kWidth - kOutlineInset, kHeight,
                                   kCornerEllipse, kCornerEllipse));
    startReveal(ui::centreEllipseReveal(size()));
}

void InstrumentPanel::showIndicatorMessage(const QString& text, int fontSize, int top, int height) {
    QFont font = stIndSoobsch->font();
    font.setPointSize(fontSize);
    stIndSoobsch->setFont(font);
    stIndSoobsch->setText(elidedLines(text, QFontMetrics(font), kMessageWidth));
    stIndSoobsch->setGeometry(kMessageLeft, top, kMessageWidth, height);
    stIndSoobsch->show();
    stIndSoobsch->raise();
}

void InstrumentPanel::showConnectionError() {
    showIndicatorMessage(QStringLiteral("Ошибка связи\nс прибором!"), 14, 42, 50);
}

void InstrumentPanel::showArtwork(const ArtworkSet& set) {
    MainImage->setArtwork(set.front);
    const auto keys = pressedKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i]->setArtwork(set.keys[i]);
    }
}

void InstrumentPanel::confirmKeyboardLock(bool acknowledged) {
    if (acknowledged) {
        link::keyboardLockConfirmed[device_] = CheckBoxBlockKeyboard->isChecked();
    } else {
        CheckBoxBlockKeyboard->setChecked(link::keyboardLockConfirmed[device_]);
    }
    CheckBoxBlockKeyboard->setEnabled(true);
}

std::array<ui::ArtworkView*, 4> InstrumentPanel::pressedKeys() const {
    return {imKlavishaT, imKlavisha_0_, imKlavishaF1, imKlavishaF2};
}

bool InstrumentPanel::outputActive() const {
    return outputAreaActive(link::versionByte1[device_], link::digitalOutAllowed);
}

bool InstrumentPanel::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == MainImage) {
        if (type == QEvent::MouseButtonPress) {
            MainImageMouseDown(static_cast<QMouseEvent*>(event));
        } else if (type == QEvent::MouseMove) {
            MainImageMouseMove(static_cast<QMouseEvent*>(event));
        } else if (type == QEvent::MouseButtonRelease) {
            MainImageMouseUp(static_cast<QMouseEvent*>(event));
        } else if (type == QEvent::ContextMenu) {
            MainImageContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        }
    } else if (watched == imData) {
        if (type == QEvent::MouseButtonPress) {
            imDataMouseDown();
        } else if (type == QEvent::MouseMove) {
            imData->setCursor(outputActive() ? Qt::PointingHandCursor : Qt::ArrowCursor);
        }
    } else if (watched == laZorvanVersiya && type == QEvent::MouseMove) {
        highlightVersion(true);
    } else if ((watched == MinimizeImage || watched == CloseImage) && type == QEvent::Enter) {
        highlightVersion(false);
    } else if (watched == ButtonPusto && type == QEvent::KeyPress) {
        ButtonPustoKeyDown(static_cast<QKeyEvent*>(event));
    }
    return ui::BorderlessWindow::eventFilter(watched, event);
}

void InstrumentPanel::MainImageMouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // The window the user clicks is the one the instrument command is meant for, even where
    // a click does not activate a window.
    link::activeDevice = static_cast<std::uint32_t>(device_);
    const QPoint at = event->position().toPoint();
    if (const auto key = keyAt(at.x(), at.y())) {
        pressedKeys()[static_cast<std::size_t>(key->key)]->show();
        link::StartKeyPress(key->code);
    } else if (outputActive() && inOutputArea(at.x(), at.y())) {
        link::StartDigitalOut(imData->isVisible() ? link::kOutputOff : link::kOutputOn);
    } else {
        beginDrag(at);
    }
}

void InstrumentPanel::MainImageMouseMove(QMouseEvent* event) {
    highlightVersion(false);
    const QPoint at = event->position().toPoint();
    if (isDragging()) {
        dragTo(at);
        return;
    }
    const bool overControl =
        keyAt(at.x(), at.y()).has_value() || (outputActive() && inOutputArea(at.x(), at.y()));
    MainImage->setCursor(overControl ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void InstrumentPanel::MainImageMouseUp(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        endDrag();
    }
}

void InstrumentPanel::imDataMouseDown() {
    if (outputActive()) {
        link::activeDevice = static_cast<std::uint32_t>(device_);
        link::StartDigitalOut(link::kOutputOff);
    }
}

void InstrumentPanel::TimerViewPressKeysTimer() {
    TimerViewPressKeys.stop();
    if (link::keyCommandFailed.exchange(false)) {
        showConnectionError();
    }
    for (ui::ArtworkView* key : pressedKeys()) {
        key->hide();
    }
}

void InstrumentPanel::TimerViewPressDigitalOutTimer() {
    TimerViewPressDigitalOut.stop();
    if (link::digitalOutFailed.exchange(false)) {
        showConnectionError();
    }
}

void InstrumentPanel::CheckBoxBlockKeyboardClick() {
    ButtonPusto->setFocus();
    CheckBoxBlockKeyboard->setEnabled(false);
    link::StartCommand(link::deviceAddress[device_], link::kServiceCode,
                       CheckBoxBlockKeyboard->isChecked() ? link::kLockKeyboard
                                                          : link::kUnlockKeyboard,
                       static_cast<std::uint32_t>(device_));
}

void InstrumentPanel::MinimizeImageClick() {
    MinimizeImage->setState(ui::TitleBarButton::State::Normal);
    minimizePanels();
}

void minimizePanels() {
    for (InstrumentPanel* panel : visiblePanels()) {
        panel->showMinimized();
    }
}

void restorePanels() {
    for (InstrumentPanel* panel : visiblePanels()) {
        if (panel->isMinimized()) {
            panel->setWindowState(panel->windowState() & ~Qt::WindowMinimized);
            panel->show();
        }
    }
}

std::vector<InstrumentPanel*> visiblePanels() {
    std::vector<InstrumentPanel*> panels;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* panel = qobject_cast<InstrumentPanel*>(window);
        if (panel != nullptr && panel->isVisible() &&
            panel->phase() != ui::BorderlessWindow::Phase::Closing &&
            panel->phase() != ui::BorderlessWindow::Phase::Closed) {
            panels.push_back(panel);
        }
    }
    return panels;
}

void InstrumentPanel::highlightVersion(bool on) {
    const QColor colour = on ? kVersionHighlight : kCaptionColour;
    QPalette shown = laZorvanVersiya->palette();
    if (shown.color(QPalette::WindowText) != colour) {
        shown.setColor(QPalette::WindowText, colour);
        laZorvanVersiya->setPalette(shown);
    }
}

void InstrumentPanel::showEvent(QShowEvent* event) {
    ui::BorderlessWindow::showEvent(event);
    FormShow();
}

void InstrumentPanel::FormShow() {
    const QPoint saved(windowLeft[device_], windowTop[device_]);
    move(ui::clampToScreen(saved, size(), ui::screenArea(saved)));
    ButtonPusto->resize(0, 0);
    ButtonPusto->setFocus();
}

void InstrumentPanel::changeEvent(QEvent* event) {
    ui::BorderlessWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        isActiveWindow() ? FormActivate() : FormDeactivate();
    }
}

void InstrumentPanel::FormActivate() {
    link::activeDevice = static_cast<std::uint32_t>(device_);
}

void InstrumentPanel::FormDeactivate() {
    windowLeft[device_] = x();
    windowTop[device_] = y();
}

} // namespace zorvan::panel

#include "settings/humidity_graph_settings_window.h"

#include "settings/decimal_key_filter.h"
#include "settings/keys.h"
#include "settings/number_format.h"
#include "settings/settings_loader.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "ui/reveal.h"
#include "ui/window_position.h"
#include "ui/window_region.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace zorvan::settings {
namespace {

constexpr int kCornerWidth = 20;
constexpr int kCornerHeight = 15;
constexpr int kOutlineInset = 5;
constexpr int kHighestSignal = 100;
constexpr int kRowHeight = 22;

// A real setting counts as changed only beyond this, so a value that merely went through its
// text form is not written back.
constexpr double kRealChangeTolerance = 0.00001;

const QStringList kRefreshPeriods{QStringLiteral("1"),  QStringLiteral("2"),  QStringLiteral("3"),
                                  QStringLiteral("4"),  QStringLiteral("5"),  QStringLiteral("6"),
                                  QStringLiteral("10"), QStringLiteral("12"), QStringLiteral("15"),
                                  QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("60")};

const QString kStyle = QStringLiteral(
    "QWidget#paGraphVlazhTempNastr { background: rgb(51, 51, 51); }"
    "QLabel, QCheckBox { color: rgb(230, 230, 230); }"
    "QGroupBox { color: aqua; border: 1px solid rgb(110, 110, 110); border-radius: 4px;"
    "            margin-top: 8px; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 2px; }");

bool realChanged(double entered, double stored) {
    return std::abs(entered - stored) > kRealChangeTolerance;
}

// A stored signal value as the lists spell their entries: whole numbers.
QString signalEntryText(double value) {
    return QString::number(std::round(value), 'f', 0);
}

QStringList signalEntries() {
    QStringList entries;
    for (int value = 0; value <= kHighestSignal; ++value) {
        entries << QString::number(value);
    }
    return entries;
}

// A caption at `at` in its parent with its field on the same row, starting at fieldLeft or just
// right of the caption when the caption's font makes it reach further.
template <typename Field>
Field* captionedField(QLabel*& caption, const QString& text, QWidget* parent, QPoint at,
                      int fieldLeft, int fieldWidth) {
    caption = new QLabel(text, parent);
    caption->move(at.x(), at.y() + 3);
    caption->adjustSize();
    auto* field = new Field(parent);
    field->setGeometry(std::max(fieldLeft, caption->geometry().right() + 4), at.y(), fieldWidth,
                       kRowHeight);
    return field;
}

QCheckBox* checkBox(const QString& text, QWidget* parent, QPoint at) {
    auto* result = new QCheckBox(text, parent);
    result->move(at);
    result->adjustSize();
    return result;
}

} // namespace

TfmGraphVlazhTempNastr::TfmGraphVlazhTempNastr(HumidityGraphView& view)
    : ui::BorderlessWindow(view.graphWindow()), view_(view) {
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Настройки"));
    createComponents();
    FormCreate();
}

void TfmGraphVlazhTempNastr::createComponents() {
    paGraphVlazhTempNastr = new QWidget(this);
    paGraphVlazhTempNastr->setObjectName(QStringLiteral("paGraphVlazhTempNastr"));
    paGraphVlazhTempNastr->setAttribute(Qt::WA_StyledBackground);
    paGraphVlazhTempNastr->setGeometry(0, 0, kWidth, kHeight);
    paGraphVlazhTempNastr->setStyleSheet(kStyle);
    QFont font = paGraphVlazhTempNastr->font();
    font.setPixelSize(11);
    paGraphVlazhTempNastr->setFont(font);
    dragWith(paGraphVlazhTempNastr);

    CloseImage = new ui::TitleBarButton(resources::TitleButton::Close, paGraphVlazhTempNastr);
    CloseImage->move(kWidth - 23 - CloseImage->width(), 0);
    connect(CloseImage, &ui::TitleBarButton::clicked, this, [this] { close(); });

    cbKolIzmInXSec =
        captionedField<QComboBox>(laKolIzmInXSec, QStringLiteral("Период обновления, сек.:"),
                                  paGraphVlazhTempNastr, {24, 30}, 176, 60);
    // Typed periods are checked on "OK" the way the file's value is checked at start.
    cbKolIzmInXSec->setEditable(true);
    cbKolIzmInXSec->setInsertPolicy(QComboBox::NoInsert);
    cbKolIzmInXSec->addItems(kRefreshPeriods);

    createLimitBoxes();
    createIndicatorChecks();
    createSignalRange();

    BitBtnOK = new QPushButton(QStringLiteral("OK"), paGraphVlazhTempNastr);
    BitBtnOK->setGeometry((kWidth - 88) / 2, 382, 88, 28);
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });

    ButtonPusto = new QPushButton(paGraphVlazhTempNastr);
    ButtonPusto->setGeometry(0, 0, 9, 9);
}

void TfmGraphVlazhTempNastr::createLimitBoxes() {
    GroupBox1 = new QGroupBox(QStringLiteral(" Предельные значения "), paGraphVlazhTempNastr);
    GroupBox1->setGeometry(12, 64, kWidth - 24, 140);
    const auto limitBox = [this](QLabel*& caption, const QString& text, int row) {
        QLineEdit* edit =
            captionedField<QLineEdit>(caption, text, GroupBox1, {60, 22 + 28 * row}, 124, 90);
        filterDecimalKeys(*edit);
        return edit;
    };
    edTO2 = limitBox(laTO2, QStringLiteral("TO2 (G4):"), 0);
    edTO1 = limitBox(laTO1, QStringLiteral("TO1 (G3):"), 1);
    edTU1 = limitBox(laTU1, QStringLiteral("TU1 (G2):"), 2);
    edTU2 = limitBox(laTU2, QStringLiteral("TU2 (G1):"), 3);
}

void TfmGraphVlazhTempNastr::createIndicatorChecks() {
    GroupBox2 = new QGroupBox(paGraphVlazhTempNastr);
    GroupBox2->setGeometry(12, 212, kWidth - 24, 62);
    ChBViewIndicatorsColorUroven =
        checkBox(QStringLiteral("Показывать индикатор"), GroupBox2, {16, 16});
    ChBViewColorUroven = checkBox(QStringLiteral("Менять цвет индикатора"), GroupBox2, {16, 38});
}

void TfmGraphVlazhTempNastr::createSignalRange() {
    GroupBox3 = new QGroupBox(paGraphVlazhTempNastr);
    GroupBox3->setGeometry(12, 282, kWidth - 24, 90);
    cbMaxSignal =
        captionedField<QComboBox>(laMaxSignal, QStringLiteral("Максимальное значение сигнала: "),
                                  GroupBox3, {12, 14}, 200, 56);
    cbMinSignal =
        captionedField<QComboBox>(laMinSignal, QStringLiteral("Минимальное значение сигнала: "),
                                  GroupBox3, {12, 40}, 200, 56);
    const int listLeft = std::max(cbMaxSignal->x(), cbMinSignal->x());
    cbMaxSignal->move(listLeft, cbMaxSignal->y());
    cbMinSignal->move(listLeft, cbMinSignal->y());
    ChBSetUrovenOnGraph = checkBox(QStringLiteral("Использовать"), GroupBox3, {14, 66});
}

void TfmGraphVlazhTempNastr::FormCreate() {
    // A period the list does not offer stays as it is in the box, so "OK" keeps it.
    cbKolIzmInXSec->setCurrentIndex(cbKolIzmInXSec->findText(refreshPeriodText));
    cbKolIzmInXSec->setEditText(refreshPeriodText);

    selectSignalEntries();
    ChBSetUrovenOnGraph->setChecked(signalRangeFixed);
    edTU2->setText(formatReal(limitTU2));
    edTU1->setText(formatReal(limitTU1));
    edTO1->setText(formatReal(limitTO1));
    edTO2->setText(formatReal(limitTO2));
    ChBViewColorUroven->setChecked(indicatorColoured);
    ChBViewIndicatorsColorUroven->setChecked(indicatorShown);

    setOutline(ui::roundRectRegion(kOutlineInset, kHeight - paGraphVlazhTempNastr->height(),
                                   kWidth - kOutlineInset, kHeight - kOutlineInset, kCornerWidth,
                                   kCornerHeight));
    startReveal(ui::topDownReveal(std::max(kWidth, kHeight)));
    signalRangeChanged = false;
}

// A stored value the lists do not offer leaves the minimum at "0" and the maximum at "100", which
// "OK" then stores.
void TfmGraphVlazhTempNastr::selectSignalEntries() {
    const QStringList entries = signalEntries();
    cbMinSignal->addItems(entries);
    cbMaxSignal->addItems(entries);
    const qsizetype min = entries.indexOf(signalEntryText(signalMin));
    const qsizetype max = entries.indexOf(signalEntryText(signalMax));
    cbMinSignal->setCurrentIndex(static_cast<int>(min >= 0 ? min : 0));
    cbMaxSignal->setCurrentIndex(static_cast<int>(max >= 0 ? max : entries.size() - 1));
}

void TfmGraphVlazhTempNastr::showEvent(QShowEvent* event) {
    ui::BorderlessWindow::showEvent(event);
    FormShow();
}

void TfmGraphVlazhTempNastr::FormShow() {
    if (QWidget* graph = parentWidget()) {
        const QPoint wanted = ui::positionOverOwner(graph->geometry(), size());
        move(ui::clampToScreen(wanted, size(), ui::screenArea(graph->pos())));
    }
    ButtonPusto->resize(0, 0);
    ButtonPusto->setFocus();
}

// Each step stores and writes its own values; a value that is not a number stops there, so what
// the steps before it stored stays in effect and the user corrects the value in focus.
void TfmGraphVlazhTempNastr::BitBtnOKClick() {
    storeRefreshPeriod();
    if (!storeLimits()) {
        return;
    }
    storeIndicator();
    if (!storeSignalRange()) {
        return;
    }
    if (signalRangeChanged && signalRangeFixed) {
        view_.applySignalRange(signalMin, signalMax);
    }
    close();
}

// The period is read back from the file and checked as at start, so the variables hold what the
// next start will read.
void TfmGraphVlazhTempNastr::storeRefreshPeriod() {
    const QString period = cbKolIzmInXSec->currentText();
    if (period == refreshPeriodText) {
        return;
    }
    writeSetting(kRefreshPeriod, period);
    setRefreshPeriodFromText(readSetting(kRefreshPeriod));
}

bool TfmGraphVlazhTempNastr::storeLimits() {
    const struct {
        QLineEdit* edit;
        double& variable;
        const RealKey& key;
    } limits[] = {{edTU2, limitTU2, kLimitTU2},
                  {edTU1, limitTU1, kLimitTU1},
                  {edTO1, limitTO1, kLimitTO1},
                  {edTO2, limitTO2, kLimitTO2}};
    for (const auto& limit : limits) {
        const std::optional<double> value = parseReal(limit.edit->text());
        if (!value) {
            limit.edit->setFocus();
            return false;
        }
        if (realChanged(*value, limit.variable)) {
            limit.variable = *value;
            writeSetting(limit.key, *value);
        }
    }
    return true;
}

void TfmGraphVlazhTempNastr::storeIndicator() {
    const bool shown = ChBViewIndicatorsColorUroven->isChecked();
    if (shown != indicatorShown) {
        indicatorShown = shown;
        writeSetting(kIndicatorShown, shown);
        if (shown) {
            view_.addIndicatorBarIfMissing();
        }
        view_.showIndicatorPanel(shown);
    }
    const bool coloured = ChBViewColorUroven->isChecked();
    if (coloured != indicatorColoured) {
        indicatorColoured = coloured;
        writeSetting(kIndicatorColoured, coloured);
        if (coloured) {
            view_.addIndicatorBarIfMissing();
        }
    }
    // An uncoloured indicator is plain green, whatever colour the levels last gave it.
    if (indicatorShown && !indicatorColoured) {
        view_.colourIndicatorBarGreen();
    }
}

bool TfmGraphVlazhTempNastr::storeSignalRange() {
    if (!storeSignalLimit(cbMinSignal, signalMin, kSignalMin) ||
        !storeSignalLimit(cbMaxSignal, signalMax, kSignalMax)) {
        return false;
    }
    const bool fixed = ChBSetUrovenOnGraph->isChecked();
    if (fixed != signalRangeFixed) {
        signalRangeFixed = fixed;
        writeSetting(kSignalRangeFixed, fixed);
        signalRangeChanged = true;
    }
    return true;
}

bool TfmGraphVlazhTempNastr::storeSignalLimit(QComboBox* list, double& variable,
                                              const RealKey& key) {
    const std::optional<double> value = parseReal(list->currentText());
    if (!value) {
        list->setFocus();
        return false;
    }
    if (realChanged(*value, variable)) {
        variable = *value;
        writeSetting(key, *value);
        signalRangeChanged = true;
    }
    return true;
}

} // namespace zorvan::settings

// What the graph window makes of one reading, in each of its modes.
#include "graphs/graph_clock.h"
#include "graphs/graph_window.h"
#include "graphs/humidity_rules.h"
#include "graphs/point_label.h"
#include "graphs/vertical_scaling.h"
#include "link/device_state.h"
#include "settings/settings_variables.h"

#include <vector>

namespace zorvan::graphs {

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 128, 0);
// Temperatures travel in hundredths of a degree.
constexpr double kTemperatureScale = 0.01;

// Readings accumulate across a stop and a new start; only a produced point clears them.
HumidityAverage humidityAverage;

bool secondInstrumentPresent() {
    return link::deviceAddress[1] > 0;
}

} // namespace

void TFormGraphic::addDynamicPoints(const GraphReading& reading) {
    if (Graphic.count() == 0) {
        labelOrigin_ = graphClockSeconds();
    }
    const double now = secondsSinceOrigin();
    const double scale = link::graphScale;
    const bool second = secondInstrumentPresent();
    Graphic.append(graphPointNumber_, reading.sample1 * scale, now, kRed);
    if (second) {
        Graphic2.append(graphPointNumber_, reading.sample2 * scale, now, kBlue);
    }
    ++graphPointNumber_;
    scaleVertically(true);
    if (graphPointNumber_ > graphAxisTo_) {
        ++graphAxisFrom_;
        ++graphAxisTo_;
        Chart1->bottomAxis().setMinMax(graphAxisFrom_, graphAxisTo_);
    }
    while (Graphic.count() > graphSpan_) {
        Graphic.removeFirst();
        if (second && Graphic2.count() > 0) {
            Graphic2.removeFirst();
        }
    }
    showReadRate();
}

void TFormGraphic::addThresholdPoints(const GraphReading& reading) {
    bool above = false;
    const TimedValue now{reading.sample1 * link::graphScale, secondsSinceOrigin()};
    const qsizetype plottedBefore = Graphic.count();
    for (const TimedValue& plotted : hold_.take(now, thresholdValue_, above)) {
        Graphic.append(graphPointNumber_, plotted.value, plotted.time, kRed);
        ++graphPointNumber_;
    }
    recordPointsFrom(plottedBefore);
    if (above) {
        // Only the excursions set the scale, with no margin beyond the line's own.
        const double margin = (Graphic.maxY() - Graphic.minY()) / 70.0;
        Chart1->leftAxis().setMinMax(Graphic.minY() - margin, Graphic.maxY() + margin);
    }
}

void TFormGraphic::addHumidityPoints(const GraphReading& reading) {
    const HumidityReading current{reading.sample1 * link::graphScale,
                                  reading.sample3 * kTemperatureScale,
                                  reading.sample4 * kTemperatureScale};
    paTekVlazh->setText(humidityFigure(current.humidity, link::graphDecimals));
    paTekTemp->setText(temperatureFigure(current.temperature1));
    paTekTemp2->setText(temperatureFigure(current.temperature2));
    const std::optional<HumidityReading> average =
        humidityAverage.add(current, settings::refreshPeriodSeconds);
    if (!average) {
        return;
    }
    if (graphPointNumber_ == 0) {
        labelOrigin_ = graphClockSeconds();
    }
    const double now = secondsSinceOrigin();
    Graphic.append(graphPointNumber_, average->humidity, now, kBlue);
    if (settings::indicatorShown) {
        BarSeriesIndicator.setValue(average->humidity);
    }
    GraphicTemperatury.append(graphPointNumber_, average->temperature1, now, kRed);
    GraphicTemperatury2.append(graphPointNumber_, average->temperature2, now, kRed);
    GraphicDopPole.append(graphPointNumber_, realValue_, now, kGreen);
    ++graphPointNumber_;
    recordPointsFrom(Graphic.count() - 1);
    if (!settings::signalRangeFixed) {
        scaleVertically(false);
        if (settings::indicatorShown) {
            Chart2->leftAxis().setMinMax(Chart1->leftAxis().minimum(),
                                         Chart1->leftAxis().maximum());
        }
    }
    if (settings::indicatorShown && settings::indicatorColoured) {
        colourIndicator();
    }
}

void TFormGraphic::colourIndicator() {
    const ToleranceLimits limits{settings::limitTU2, settings::limitTU1, settings::limitTO1,
                                 settings::limitTO2};
    BarSeriesIndicator.setColour(indicatorColour(BarSeriesIndicator.value(), limits));
}

void TFormGraphic::scaleVertically(bool graphicAlways) {
    std::vector<SeriesExtent> extents;
    for (const chart::LineSeries* series :
         {&Graphic, &Graphic2, &GraphicTemperatury, &GraphicDopPole, &GraphicTemperatury2}) {
        if (series->count() > 0 || (graphicAlways && series == &Graphic)) {
            extents.push_back({series->minY(), series->maxY()});
        }
    }
    if (extents.empty()) {
        return;
    }
    const AxisRange range = verticalRange(extents);
    Chart1->leftAxis().setMinMax(range.minimum, range.maximum);
}

void TFormGraphic::showReadRate() {
    const qsizetype count = Graphic.count();
    if (count >= 2) {
        laIzmPerSecond->setText(readRateText(count, Graphic.time(count - 1) - Graphic.time(0)));
    }
}

} // namespace zorvan::graphs

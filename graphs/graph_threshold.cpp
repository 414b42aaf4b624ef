// The graph of the readings above a threshold: the threshold taken from its box and the points
// the hold lets through.
#include "graphs/graph_window.h"
#include "graphs/point_colours.h"
#include "link/device_state.h"
#include "settings/number_format.h"

#include <QMessageBox>

namespace zorvan::graphs {

bool TFormGraphic::takeThreshold() {
    const std::optional<double> threshold = settings::parseReal(cbMinViewValue->currentText());
    if (!threshold) {
        cbMinViewValue->setFocus();
        QMessageBox box(QMessageBox::Critical, windowTitle(),
                        QStringLiteral("Это не цифра!\nЗадайте правильное значение."),
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }
    thresholdValue_ = *threshold;
    return true;
}

void TFormGraphic::addThresholdPoints(const GraphReading& reading) {
    bool above = false;
    const TimedValue now{reading.sample1 * link::graphScale, secondsSinceOrigin()};
    const qsizetype plottedBefore = Graphic.count();
    for (const TimedValue& plotted : hold_.take(now, thresholdValue_, above)) {
        Graphic.append(graphPointNumber_, plotted.value, plotted.time, kPointRed);
        ++graphPointNumber_;
    }
    recordPointsFrom(plottedBefore);
    if (above) {
        // Only the excursions set the scale, with no margin beyond the line's own.
        const double margin = (Graphic.maxY() - Graphic.minY()) / 70.0;
        Chart1->leftAxis().setMinMax(Graphic.minY() - margin, Graphic.maxY() + margin);
    }
}

} // namespace zorvan::graphs

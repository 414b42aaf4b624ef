#pragma once

// The graph window: plots the instruments' readings in real time while it owns the line. The
// panels are out of sight and the poll is off from its launch until "Выход". Readings are taken
// by line jobs at the read period; the window turns each into chart points, keeps both axes
// scaled, and counts the turns it had to skip because a read was still running.

#include "chart/chart.h"
#include "link/graph_exchanges.h"
#include "ui/window_host.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdint>

namespace zorvan::graphs {

enum class GraphMode { Dynamic, Threshold, Humidity };

// One reading as the read job left the shared graph samples.
struct GraphReading {
    std::int32_t sample1 = 0;
    std::int32_t sample2 = 0;
    std::int32_t sample3 = 0;
    std::int32_t sample4 = 0;
};

class TFormGraphic final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 560;
    static constexpr int kStripHeight = 44;

    // Stops the host's poll and starts preparing instrument 1 for graph reads; "Пуск" is enabled
    // once it answered.
    TFormGraphic(ui::WindowHost& host, GraphMode mode);
    ~TFormGraphic() override;

    GraphMode mode() const { return mode_; }

    void BitBtnPuskStopClick();
    void BitBtnCloseGraphicClick();
    void cbOknoChange();
    void cbReadPeriodChange();
    void TimerGraphicTimer();
    // A reading has arrived from the read job.
    void TimerViewDataGraphicTimer(const GraphReading& reading);

    // The part of the caption before " - график".
    const QString& windowTitleBase() const { return windowTitle_; }
    int missedReads() const { return missedReads_; }
    // X of the next point, counted from 0 at each start.
    std::int32_t graphPointNumber() const { return graphPointNumber_; }
    bool running() const { return BitBtnPuskStop->text() == kStop; }

    // Components, named as in the window's design.
    chart::Chart* Chart1;
    chart::LineSeries& Graphic;
    chart::LineSeries& Graphic2;
    chart::LineSeries& GraphicTemperatury;
    chart::LineSeries& GraphicTemperatury2;
    chart::LineSeries& GraphicDopPole;
    QWidget* paIndicator;
    chart::Chart* Chart2;
    QWidget* paControls;
    QPushButton* BitBtnPuskStop;
    QLabel* laTimeOnGraph;
    QComboBox* cbOkno;
    QLabel* laReadPeriod;
    QComboBox* cbReadPeriod;
    QLabel* laMinViewValue;
    QComboBox* cbMinViewValue;
    QPushButton* BitBtnCloseGraphic;
    QLabel* laIzmPerSecond;
    QLabel* laPropusky;
    QPushButton* ButtonPusto;
    QTimer TimerGraphic;

    static inline const QString kStart = QStringLiteral("Пуск");
    static inline const QString kStop = QStringLiteral("Стоп");
    static inline const QString kSilentSuffix = QStringLiteral("  -  прибор отключен");

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createComponents();
    void createControls();
    void FormCreate();
    void selectStoredSpan();
    void selectStoredReadPeriod();
    void preparationEnded(bool answered);
    void startRunning();
    void startedRequests();
    void stopRunning();
    void addDynamicPoints(const GraphReading& reading);
    void scaleVertically();
    void showReadRate();
    void Chart1DblClick();
    void FormClose();
    void writeChangedSettings();
    void placeCharts();

    ui::WindowHost& host_;
    const GraphMode mode_;
    QString windowTitle_;
    int missedReads_ = 0;
    std::int32_t graphSpan_ = 0;
    std::int32_t graphAxisFrom_ = 0;
    std::int32_t graphAxisTo_ = 0;
    std::int32_t graphPointNumber_ = 0;
    int timeLabelDecimals_ = 2;
    // Time of the first point of `Graphic` since it was last empty, seconds.
    double firstPointTime_ = 0.0;
    bool exitChosen_ = false;
    bool shownOnce_ = false;
};

// The graph window while it exists.
inline QPointer<TFormGraphic> FormGraphic;

// "График (динамический)": opens the dynamic graph over the host's hidden panels.
void NGraphicClick(ui::WindowHost& host);

} // namespace zorvan::graphs

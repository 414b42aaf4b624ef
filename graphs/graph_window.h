#pragma once

// The graph window: plots the instruments' readings in real time while it owns the line. The
// panels are out of sight and the poll is off from its launch until "Выход". Readings are taken
// by line jobs at the read period; the window turns each into chart points, keeps both axes
// scaled, and counts the turns it had to skip because a read was still running.
//
// Three modes share the window: the dynamic graph of instruments 1 and 2 over a sliding span,
// the graph of the readings above a threshold, and the humidity-and-temperature graph with its
// averaged points, current-value figures, bar indicator and automatic saving.

#include "chart/chart.h"
#include "graphs/threshold_hold.h"
#include "link/graph_exchanges.h"
#include "settings/humidity_graph_view.h"
#include "ui/captioned_window.h"
#include "ui/window_host.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zorvan::graphs {

class RecordingFile;
enum class RecordingEvent;

enum class GraphMode { Dynamic, Threshold, Humidity };

// One reading as the read job left the shared graph samples.
struct GraphReading {
    std::int32_t sample1 = 0;
    std::int32_t sample2 = 0;
    std::int32_t sample3 = 0;
    std::int32_t sample4 = 0;
};

// What one read turn on the line found.
struct ReadTurn {
    bool portLost = false; // the port's device is gone: the port is closed until it returns
    bool resumed = false;  // the port came back and the instruments were prepared again
    std::optional<GraphReading> reading;
};

class TFormGraphic final : public ui::CaptionedWindow, public settings::HumidityGraphView {
    Q_OBJECT

public:
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 560;
    static constexpr int kAutoSaveMs = 300'000;

    // Stops the host's poll and starts preparing instrument 1 for graph reads; "Пуск" is enabled
    // once it answered. The launch functions below set the mode's controls before it is shown.
    TFormGraphic(ui::WindowHost& host, GraphMode mode);
    ~TFormGraphic() override;

    GraphMode mode() const { return mode_; }

    void BitBtnPuskStopClick();
    void BitBtnCloseGraphicClick();
    // The program ends: a running graph stops as at "Стоп", then the window closes as at "Выход".
    void endForProgramExit();
    void BitBtnNastroykiClick();
    void btnDopPolePrimenitClick();
    void cbOknoChange();
    void cbReadPeriodChange();
    void TimerGraphicTimer();
    // A reading has arrived from the read job.
    void TimerViewDataGraphicTimer(const GraphReading& reading);
    void TimerAutoSaveTimer();
    void NSaveDataGraphClick();
    void NLoadDataGraphClick();

    // Where the file dialogs would ask; tests and the pictures tool answer instead of a user.
    std::function<QString()> chooseSaveFile;
    std::function<QString()> chooseOpenFile;

    // The part of the caption before " - график".
    const QString& windowTitleBase() const { return windowTitle_; }
    int missedReads() const { return missedReads_; }
    // X of the next point, counted from 0 at each start and at each loaded file.
    std::int32_t graphPointNumber() const { return graphPointNumber_; }
    bool running() const { return BitBtnPuskStop->text() == kStop; }
    const QString& autoSaveFileName() const { return autoSaveFileName_; }
    double realValue() const { return realValue_; }

    // The settings window's view of the humidity graph.
    void showIndicatorPanel(bool shown) override;
    void addIndicatorBarIfMissing() override;
    void colourIndicatorBarGreen() override;
    void applySignalRange(double minimum, double maximum) override;
    QWidget* graphWindow() override { return this; }

    // Components, named as in the window's design.
    chart::Chart* Chart1;
    chart::LineSeries& Graphic;
    chart::LineSeries& Graphic2;
    chart::LineSeries& GraphicTemperatury;
    chart::LineSeries& GraphicTemperatury2;
    chart::LineSeries& GraphicDopPole;
    QWidget* paIndicator;
    chart::Chart* Chart2;
    chart::BarSeries& BarSeriesIndicator;
    QWidget* paControls;
    QPushButton* BitBtnPuskStop;
    QLabel* laTimeOnGraph;
    QComboBox* cbOkno;
    QLabel* laReadPeriod;
    QComboBox* cbReadPeriod;
    QLabel* laMinViewValue;
    QComboBox* cbMinViewValue;
    QLabel* laDopPole;
    QLabel* laDopPole2;
    QLineEdit* edDopPole;
    QPushButton* btnDopPolePrimenit;
    QLabel* laTekVlazh;
    QLabel* laTekVlazh2;
    QLabel* paTekVlazh;
    QLabel* laTekTemp;
    QLabel* laTekTemp2;
    QLabel* paTekTemp;
    QLabel* paTekTemp2;
    QPushButton* BitBtnNastroyki;
    QCheckBox* CheckBoxZaprosPr44;
    QPushButton* BitBtnCloseGraphic;
    QLabel* laIzmPerSecond;
    QLabel* laPropusky;
    QPushButton* ButtonPusto;
    QMenu* GraphPopupMenu;
    QAction* NSaveDataGraph;
    QAction* NLoadDataGraph;
    QAction* NSaveGraphPicture;
    QTimer TimerGraphic;
    QTimer TimerAutoSave;

    static inline const QString kStart = QStringLiteral("Пуск");
    static inline const QString kStop = QStringLiteral("Стоп");
    static inline const QString kSilentSuffix = QStringLiteral("  -  прибор отключен");
    static inline const QString kGraphSuffix = QStringLiteral(" - график");

protected:
    QWidget* focusHolder() override { return ButtonPusto; }
    bool mayClose() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend void NGraphicClick(ui::WindowHost& host);
    friend void NGraphicPlusClick(ui::WindowHost& host);
    friend void NGraphicVlazhnAndTemperaturaClick(ui::WindowHost& host, bool serviceMode);

    void createComponents();
    void createSeries();
    void createControls();
    void createHumidityControls();
    void createPopupMenu();
    void FormCreate();
    void selectStoredSpan();
    void selectStoredReadPeriod();
    void preparationEnded(bool answered);
    bool takeThreshold();
    void startRunning();
    void startedRequests();
    void stopRunning();
    void stopAsAtStop();
    void readTurnEnded(const ReadTurn& turn);
    void addDynamicPoints(const GraphReading& reading);
    void addThresholdPoints(const GraphReading& reading);
    void addHumidityPoints(const GraphReading& reading);
    void scaleVertically(bool graphicAlways);
    void showReadRate();
    void colourIndicator();
    void FormClose();
    void writeChangedSettings();
    void writeChangedHumiditySettings();
    void placeControls();
    // A column of a saved graph: the series and its decimals.
    struct SavedColumn {
        const chart::LineSeries* series;
        int decimals;
    };
    std::vector<SavedColumn> savedColumns() const;
    // Makes the file of the points shown now; copies them, so it may run on another thread.
    std::function<QByteArray()> graphFileBuilder() const;
    QString automaticFileName() const;
    void startRecording();
    void endRecording();
    void recordPointsFrom(qsizetype first);
    int labelUnitLength() const { return mode_ == GraphMode::Humidity ? 4 : 2; } // "мин.", "c "
    void loadGraph(const QString& path);
    void showFileError(const QString& path, const QString& error);
    // What the running recording's file went through, shown once per change.
    void showRecordingMessage(RecordingEvent event, const QString& text);
    // A point's label from its time, the seconds since the label origin.
    QString labelOf(double time) const;
    // The time field point `point` of Graphic is written to a file with.
    std::string_view timeFieldOf(qsizetype point, std::string& scratch) const;
    double secondsSinceOrigin() const;

    ui::WindowHost& host_;
    const GraphMode mode_;
    QString windowTitle_;
    int missedReads_ = 0;
    std::int32_t graphSpan_ = 0;
    std::int32_t graphAxisFrom_ = 0;
    std::int32_t graphAxisTo_ = 0;
    std::int32_t graphPointNumber_ = 0;
    int timeLabelDecimals_ = 2;
    // The origin of the point labels, in the clock's seconds: the first point of the dynamic
    // graph since it was last empty; the start (threshold) or the first point (humidity); or
    // where a loaded file's last line would stand now, so that live points continue its labels.
    double labelOrigin_ = 0.0;
    double thresholdValue_ = 0.0;
    ThresholdHold hold_;
    double realValue_ = 10.0;
    QString autoSaveFileName_;
    // The running threshold or humidity graph's automatic file.
    std::shared_ptr<RecordingFile> recording_;
    bool exitChosen_ = false;
    // The port was lost: once it is back, the instruments are prepared again before the reads.
    bool resumeDue_ = false;
    // Counts the stops: a read turn's reading belongs to the run it was taken in.
    int runNumber_ = 0;
};

// The graph window while it exists.
inline QPointer<TFormGraphic> FormGraphic;

// The three menu commands: each opens the graph window in its mode over the host's hidden
// panels. The humidity graph moves its listening switch into view in the service mode.
void NGraphicClick(ui::WindowHost& host);
void NGraphicPlusClick(ui::WindowHost& host);
void NGraphicVlazhnAndTemperaturaClick(ui::WindowHost& host, bool serviceMode);

} // namespace zorvan::graphs

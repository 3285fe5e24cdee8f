#pragma once
// The spectrum windows: an MDI child per opened spectrum ("Low Energy Meas
// #%d", "High Energy Meas #%d"), drawn on the settings' scale, with the
// emission lines labelled on a shift-click.

#include <QMdiSubWindow>
#include <functional>

#include "core/shell/program.h"
#include "core/views/spectrum_plot.h"

namespace ravik {

class SpectrumView : public QWidget {
    Q_OBJECT
public:
    SpectrumView(Program& program, int32_t reading, int kind, QWidget* parent = nullptr);

    int32_t reading() const { return reading_; }
    int kind() const { return kind_; }
    // The plot as it stands in the window now; nothing without a spectrum.
    std::optional<SpectrumViewPlot> plot() const;
    // Shift + left click at x: labels the lines of the element nearest to
    // the energy there (an L window only); earlier labels go.
    void labelNearest(double x);
    // Labels the lines of an element of the emission line table.
    void labelElement(int element);
    const std::vector<PlotLabel>& labels() const { return labels_; }
    // The settings changed (scale, colours): the spectrum is drawn again, and
    // the labels go, which stood at the heights of the old curve.
    void settingsChanged();

Q_SIGNALS:
    // Left double-click in an L window of Paint, Bulk or Thin: the K window.
    void spectrumRequested(int32_t reading, int kind);
    // Right double-click: the reading's editor.
    void editRequested(int32_t reading);
    // Hide (Delete) and unhide (Insert) the marked readings.
    void commandRequested(int command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // The "SELECTELEMENT" list at a click; the element chosen or -1.
    int chooseElement(const QPoint& globalPosition);

    Program& program_;
    int32_t reading_;
    int kind_;
    std::vector<PlotLabel> labels_;
};

class SpectrumWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    SpectrumWindow(Program& program, int32_t reading, int kind, QWidget* parent = nullptr);
    SpectrumView* view() const { return view_; }

    // "Low Energy Meas #%d" or "High Energy Meas #%d".
    static QString TitleFor(int32_t reading, int kind);

Q_SIGNALS:
    // "Compare" (Ctrl+M or the window menu): this reading joins the
    // compare window.
    void compareRequested(int32_t reading, int kind);

private:
    SpectrumView* view_;
};

}  // namespace ravik

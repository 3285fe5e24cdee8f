#pragma once
// The spectrum compare window: the low or high spectra of up to 64 readings
// overlaid in their own colours, normalised, as differences against a
// reference, on a linear, log10 or square-root count axis; zoom and pan with
// the mouse and keys, the counts under the pointer, regions of interest,
// element identification with line markers, and export of the plot and the
// spectra. A window of its own beside the frame's MDI client: it keeps
// copies of its readings' records, so New, Open and Close All leave it as
// it is. The arithmetic is the core's (spectrum_compare, element_lines,
// spectrum_files); this is the shell around it.

#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "core/views/element_lines.h"
#include "core/views/spectrum_compare.h"
#include "ui/views/compare_painter.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace ravik {

class CompareWindow;
class Prompter;

// The plot: paints the window's scene and turns the mouse and keys into
// the viewport's navigation.
class CompareView : public QWidget {
    Q_OBJECT
public:
    explicit CompareView(CompareWindow& window, QWidget* parent = nullptr);
    // The plot as last painted (pointer mapping).
    const ComparePlot& plot() const { return plot_; }
    // The plot for the view's present size, painted or not.
    ComparePlot currentPlot() const;

Q_SIGNALS:
    void cursorMoved(std::optional<double> keV);
    // A click without a drag: the energy to identify.
    void peakClicked(double keV);
    // Ctrl+drag: a region of interest.
    void regionChosen(double fromKeV, double toKeV);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // After the view moved under a resting pointer: the energy under it now.
    void followPointer();

    enum class Drag { None, Energy, Counts, Region };
    CompareWindow& window_;
    ComparePlot plot_;
    Drag drag_ = Drag::None;
    QPoint dragFrom_;
    QPoint dragTo_;
};

class CompareWindow : public QWidget {
    Q_OBJECT
public:
    // Messages and questions go to the prompter (the frame's), or to
    // message boxes of their own without one.
    explicit CompareWindow(Prompter* prompter = nullptr, QWidget* parent = nullptr);

    // Adds readings at the end; those beyond 64 are refused with a message.
    // Returns how many were added.
    int addReadings(std::vector<ComparedReading> readings);
    void removeReading(int id);
    const SpectrumComparison& comparison() const { return comparison_; }
    CompareViewport& viewport() { return viewport_; }
    const CompareViewport& viewport() const { return viewport_; }

    // The choices of the tool row; each rebuilds the overlay.
    void setBand(SpectrumBand band);
    void setNormalisation(Normalisation normalisation);
    void setScale(CountScale scale);
    // The difference view against a compared reading, or the plain overlay.
    void setReference(std::optional<int> id);
    SpectrumBand band() const { return band_; }

    // What the plot shows now.
    CompareScene scene() const;
    CompareView* view() const { return view_; }

    // Identification: the candidates for an energy (listed in the window),
    // and an element's lines marked over the plotted range.
    const std::vector<ElementCandidate>& candidatesFor(double keV);
    // A click at keV: its candidates listed, the strongest first.
    void identifyAt(double keV);
    const std::vector<ElementCandidate>& candidates() const { return candidates_; }
    void markElement(int z);
    void clearMarkers();
    const std::vector<LineMarker>& markers() const { return markers_; }

    // A region of interest, and its table as text for the clipboard.
    void setRegion(double fromKeV, double toKeV);
    void clearRegion();
    std::optional<std::pair<double, double>> region() const { return region_; }
    const std::vector<RegionSum>& regionSums() const { return regionSums_; }
    std::string regionText() const;

    // The exports, without dialogs: the plot as a picture (PNG, SVG, PDF by
    // the name's extension), each reading's spectrum as an EMSA file in a
    // folder (all or none), the overlay as one CSV file. False with a message.
    bool exportImage(const std::string& path, int width, int height, std::string& error) const;
    bool exportEmsa(const std::string& folder, bool replace, std::string& error) const;
    bool exportCsv(const std::string& path, std::string& error) const;
    // The EMSA files' names in the folder, one per reading with the spectrum.
    std::vector<std::string> emsaPaths(const std::string& folder) const;

    // The remarks about readings left out or shown unnormalised.
    QString remarksText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void rebuild();
    void refreshLists();
    void refreshReadout();
    void chooseImageExport();
    void chooseEmsaExport();
    void chooseCsvExport();
    void tell(const QString& text);

    Prompter* prompter_;
    SpectrumComparison comparison_;
    CompareViewport viewport_;
    SpectrumBand band_ = SpectrumBand::Low;
    Normalisation normalisation_ = Normalisation::None;
    CountScale scale_ = CountScale::Linear;
    std::vector<LineMarker> markers_;
    ElementMarkers marked_;
    std::vector<ElementCandidate> candidates_;
    std::optional<std::pair<double, double>> region_;
    std::vector<RegionSum> regionSums_;
    std::optional<double> cursorKeV_;

    CompareView* view_ = nullptr;
    QComboBox* bandBox_ = nullptr;
    QComboBox* normaliseBox_ = nullptr;
    QComboBox* scaleBox_ = nullptr;
    QComboBox* referenceBox_ = nullptr;
    QTreeWidget* readings_ = nullptr;
    QListWidget* candidateList_ = nullptr;
    QListWidget* markerList_ = nullptr;
    QLabel* readout_ = nullptr;
    QLabel* remarks_ = nullptr;
    QLabel* regionLabel_ = nullptr;
};

}  // namespace ravik

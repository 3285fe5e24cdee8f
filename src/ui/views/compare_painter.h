#pragma once
// Draws a spectrum comparison into a rectangle of any paint device: the
// compare window, an exported PNG, SVG or PDF, and the images of
// "ravik spectrum". The arithmetic (overlay, visible window, ticks, curves)
// is the core's; this file only turns it into pixels and texts.

#include <QColor>
#include <QRectF>
#include <optional>
#include <string>
#include <vector>

#include "core/views/spectrum_compare.h"

class QPainter;

namespace ravik {

// A marked emission line of an identified element.
struct LineMarker {
    std::string element;  // "Pb"
    std::string line;     // "La1"
    double keV = 0;
};

// Everything a picture of the comparison shows.
struct CompareScene {
    const SpectrumComparison* comparison = nullptr;
    const SpectrumOverlay* overlay = nullptr;
    ViewWindow window;
    CountScale scale = CountScale::Linear;
    Normalisation normalisation = Normalisation::None;
    std::vector<LineMarker> markers;
    // A region of interest (keV, either order), shaded.
    std::optional<std::pair<double, double>> region;
    // The pointer's energy: a thin vertical line.
    std::optional<double> cursorKeV;
    bool legend = true;
    bool overview = true;
};

// The colour of a compared reading by its id: 64 colours that stay apart
// on white, the first ones the most distinct.
QColor CompareColour(int id);

// Where the parts of a picture go inside rect.
struct CompareFrame {
    QRectF plot;      // the axes' box
    QRectF overview;  // the strip below (empty without one)
};
CompareFrame CompareFrameIn(const QRectF& rect, double fontPixels, bool overview);

// The plot of the scene in its frame's box (the core's layout).
ComparePlot LayOutScene(const CompareScene& scene, const CompareFrame& frame);

// Draws the scene into rect: white ground, axes with labelled ticks and
// their titles, the curves, markers, region, legend and overview strip.
// Returns the plot it drew, so the window can map the pointer.
ComparePlot PaintComparison(QPainter& painter, const CompareScene& scene, const QRectF& rect);

// The axis title of the count axis: "Counts", "Counts / max" ... with the
// scale, e.g. "Counts (log10)", and "Difference" in a difference view.
std::string CountAxisTitle(const CompareScene& scene);

// Image files of a scene: PNG, SVG or PDF by the file's extension, at a
// size in pixels (PDF: points), written whole through the staged writer.
enum class ImageFormat { Png, Svg, Pdf };
std::optional<ImageFormat> ImageFormatOf(const std::string& path);
// The bytes of the image; false with a message when it cannot be drawn.
bool RenderSceneImage(const CompareScene& scene, ImageFormat format, int width, int height, std::string& bytes,
                      std::string& error);
bool WriteSceneImage(const CompareScene& scene, const std::string& path, int width, int height, std::string& error);

}  // namespace ravik

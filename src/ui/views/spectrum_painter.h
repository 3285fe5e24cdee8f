#pragma once
// Draws a reading's spectrum into a rectangle of any paint device: a
// spectrum window, a cell of a printed page, a PDF page or an image.

#include <QRect>

#include "core/readings/reading_store.h"
#include "core/settings/settings.h"
#include "core/views/spectrum_plot.h"

class QPainter;

namespace ravik {

QRectF ToQRect(const PlotRect& rect);
PlotRect ToPlotRect(const QRect& rect);

// Draws the plot: frame, ticks, axis labels, curve, caption and field list.
// On the printer everything is black; on the screen the curve and the texts
// take the Normal colour.
void PaintSpectrumPlot(QPainter& painter, const SpectrumViewPlot& plot, const std::vector<std::string>& fieldLines,
                       const Settings& settings, bool printer);

// DrawSpectrum: false (nothing drawn) when the reading has no spectrum of the kind.
bool DrawSpectrum(QPainter& painter, const ReadingStore& store, const Settings& settings, const QRect& rect,
                  int kind, int32_t reading, bool printer);

}  // namespace ravik

#pragma once
// Drawing the remote displays: a display box shows the analyzer's screen
// picture (scaled by whole pixels so it stays crisp), a plain shade, a
// spectrum plot with its labels, a "Pass"/"Fail" picture or a text; the
// arrow buttons UP, DN and CL draw their own arrows.

#include <QAbstractButton>
#include <QString>
#include <QWidget>
#include <variant>

#include "core/link/dialog_events.h"

namespace ravik {

class DisplayBox : public QWidget {
    Q_OBJECT
public:
    DisplayBox(int controlId, QSize preferred, QWidget* parent);
    // The blank around a text inside the box.
    static constexpr int kTextMargin = 4;

    void showText(const QString& text);
    void showPicture(const MonoPicture& picture);
    void showShade(Shade shade);
    void showPlot(const SpectrumPlot& plot);
    // "Pass" or "Fail".
    void showVerdict(const QString& verdict);

    // What the box shows now: its text, or the picture, plot or verdict.
    const QString& text() const { return text_; }
    const MonoPicture* picture() const { return std::get_if<MonoPicture>(&content_); }
    const SpectrumPlot* plot() const { return std::get_if<SpectrumPlot>(&content_); }
    const QString& verdict() const { return verdict_; }

    QSize sizeHint() const override { return preferred_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Verdict {};
    struct Text {};
    using Content = std::variant<std::monostate, Text, MonoPicture, Shade, SpectrumPlot, Verdict>;

    QSize preferred_;
    Content content_;
    QString text_;
    QString verdict_;
};

// Paints a spectrum plot over the whole of a w x h area: white background,
// the line from the bottom left through every count, the labels at the top left.
void PaintSpectrumPlot(QPainter& painter, const SpectrumPlot& plot, QSize size);
// Paints a one-bit picture centred in the area at the largest whole scale
// that fits, dark pixels in the analyzer's ink on its light background.
void PaintMonoPicture(QPainter& painter, const MonoPicture& picture, QSize size);

enum class Arrow { Up, Down, Right };

// UP, DN and CL: owner-drawn buttons showing an arrow, pressed while held.
class ArrowButton : public QAbstractButton {
    Q_OBJECT
public:
    ArrowButton(int controlId, Arrow arrow, const QString& name, QWidget* parent);
    QSize sizeHint() const override { return {44, 36}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Arrow arrow_;
};

}  // namespace ravik

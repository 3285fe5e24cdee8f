#pragma once
// Paints one screen of a mode's table: the rows in the shown columns,
// coloured by their flags and paint class, and the header band of titles.

#include <QFont>
#include <QRect>

#include "core/readings/reading_store.h"
#include "core/settings/settings.h"
#include "core/views/table_layout.h"

class QPainter;

namespace ravik {

// The table font ("Times New Roman", normal or bold) at a pixel height.
QFont TableFont(int pixelHeight, bool bold);

struct TablePaint {
    const ReadingStore& store;
    const Settings& settings;
    Mode mode;
    const ColumnLayout& layout;
    const QFont& normalFont;
    const QFont& boldFont;
    int rowHeight;
    int topRow;         // the first data row shown is topRow + 1
    int horizontalPos;  // pixels scrolled to the right
    QRect area;         // what to paint, in window coordinates
};

void PaintTable(QPainter& painter, const TablePaint& job);

}  // namespace ravik

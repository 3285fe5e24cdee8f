// Draws the program's pictures: the quick buttons in their normal, greyed
// and pressed forms, the button bar's background, the window icons and the
// program's icon in the desktop's icon sizes.
// Run at build time; writes one PNG per picture into the given directory.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <functional>

namespace {

using Glyph = std::function<void(QPainter&)>;

enum class Face { Normal, Greyed, Pressed };

constexpr int kButton = 24;

QImage Blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The button's face: raised, or sunk while pressed.
void DrawFace(QPainter& p, Face face) {
    const QRectF rect(0.5, 0.5, kButton - 1, kButton - 1);
    QLinearGradient fill(0, 0, 0, kButton);
    if (face == Face::Pressed) {
        fill.setColorAt(0, QColor(176, 190, 206));
        fill.setColorAt(1, QColor(214, 224, 236));
    } else {
        fill.setColorAt(0, QColor(252, 253, 255));
        fill.setColorAt(1, QColor(214, 222, 232));
    }
    p.setPen(QPen(face == Face::Pressed ? QColor(86, 104, 128) : QColor(132, 146, 166), 1));
    p.setBrush(fill);
    p.drawRoundedRect(rect, 3, 3);
    if (face != Face::Pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 200), 1));
        p.drawLine(QPointF(3, 1.5), QPointF(kButton - 3, 1.5));
    }
}

// Greys a drawn glyph: keeps its shape, takes its colour away.
QImage Greyed(const QImage& glyph) {
    QImage grey = glyph;
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            const int level = 150 + qGray(line[x]) * 80 / 255 * alpha / 255;
            line[x] = qPremultiply(qRgba(level, level, level + 6, alpha * 3 / 4));
        }
    }
    return grey;
}

QImage Button(const Glyph& glyph, Face face) {
    QImage glyphImage = Blank(kButton, kButton);
    {
        QPainter p(&glyphImage);
        p.setRenderHint(QPainter::Antialiasing);
        glyph(p);
    }
    if (face == Face::Greyed) glyphImage = Greyed(glyphImage.convertToFormat(QImage::Format_ARGB32)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage image = Blank(kButton, kButton);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawFace(p, face);
    const int shift = face == Face::Pressed ? 1 : 0;
    p.drawImage(shift, shift, glyphImage);
    return image;
}

void OpenGlyph(QPainter& p) {
    p.setPen(QPen(QColor(150, 104, 20), 1));
    p.setBrush(QColor(236, 184, 64));
    p.drawRoundedRect(QRectF(4.5, 6.5, 14, 11), 1, 1);
    p.drawRect(QRectF(4.5, 5.5, 6, 2));
    QPainterPath flap;
    flap.moveTo(6.5, 10.5);
    flap.lineTo(20.5, 10.5);
    flap.lineTo(18.5, 17.5);
    flap.lineTo(4.5, 17.5);
    flap.closeSubpath();
    p.setBrush(QColor(255, 214, 102));
    p.drawPath(flap);
}

void SaveGlyph(QPainter& p) {
    p.setPen(QPen(QColor(22, 52, 110), 1));
    p.setBrush(QColor(46, 94, 178));
    p.drawRoundedRect(QRectF(4.5, 4.5, 15, 15), 1.5, 1.5);
    p.setBrush(QColor(246, 248, 252));
    p.drawRect(QRectF(7.5, 4.5, 9, 6));
    p.setBrush(QColor(190, 198, 210));
    p.drawRect(QRectF(7.5, 13.5, 9, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 94, 178));
    p.drawRect(QRectF(13.5, 5.5, 2, 4));
}

void PrintGlyph(QPainter& p) {
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 3.5, 9, 7));
    p.setPen(QPen(QColor(60, 64, 72), 1));
    p.setBrush(QColor(112, 120, 134));
    p.drawRoundedRect(QRectF(3.5, 9.5, 17, 8), 2, 2);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawRect(QRectF(7.5, 14.5, 9, 6));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawLine(QPointF(9, 16.5), QPointF(15, 16.5));
    p.drawLine(QPointF(9, 18.5), QPointF(14, 18.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 220, 90));
    p.drawEllipse(QRectF(16.5, 11, 2, 2));
}

void RemoteGlyph(QPainter& p) {
    // A handheld analyzer with its window, sending.
    p.setPen(QPen(QColor(40, 44, 52), 1));
    p.setBrush(QColor(84, 92, 108));
    p.drawRoundedRect(QRectF(5.5, 8.5, 9, 13), 2, 2);
    p.setBrush(QColor(150, 220, 170));
    p.drawRect(QRectF(7.5, 10.5, 5, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 80, 60));
    p.drawEllipse(QRectF(9, 17, 2, 2));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(36, 110, 200), 1.4));
    for (int i = 0; i < 3; ++i) {
        const double r = 3.0 + 2.6 * i;
        p.drawArc(QRectF(13 - r, 8 - r, 2 * r, 2 * r), 0 * 16, 90 * 16);
    }
}

void ConnectGlyph(QPainter& p, bool connected) {
    p.setPen(QPen(QColor(50, 54, 62), 1.6));
    p.drawLine(QPointF(2, 12), QPointF(7, 12));
    p.drawLine(QPointF(17, 12), QPointF(22, 12));
    p.setPen(QPen(QColor(40, 44, 52), 1));
    p.setBrush(QColor(120, 128, 142));
    const double gap = connected ? 0.0 : 2.5;
    p.drawRoundedRect(QRectF(6.5 - gap, 8.5, 5.5, 7), 1, 1);   // the plug
    p.drawRoundedRect(QRectF(12 + gap, 8.5, 5.5, 7), 1, 1);    // the socket
    p.setPen(QPen(QColor(210, 214, 220), 1));
    p.drawLine(QPointF(12 - gap, 10.5), QPointF(13.5 - gap, 10.5));
    p.drawLine(QPointF(12 - gap, 13.5), QPointF(13.5 - gap, 13.5));
    p.setPen(QPen(QColor(30, 30, 30), 0.6));
    p.setBrush(connected ? QColor(60, 210, 80) : QColor(210, 60, 50));
    p.drawEllipse(QRectF(16, 3, 5, 5));
}

void HelpGlyph(QPainter& p) {
    p.setPen(QPen(QColor(20, 70, 150), 1));
    p.setBrush(QColor(44, 118, 214));
    p.drawEllipse(QRectF(3.5, 3.5, 17, 17));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(3.5, 3.5, 17, 17), Qt::AlignCenter, QStringLiteral("?"));
}

QImage ButtonBack() {
    QImage image = Blank(173, 35);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, 35);
    fill.setColorAt(0, QColor(246, 248, 251));
    fill.setColorAt(1, QColor(222, 228, 236));
    p.fillRect(image.rect(), fill);
    p.setPen(QColor(168, 178, 192));
    p.drawLine(0, 34, 172, 34);
    return image;
}

// The program's icon: a spectrum's peaks on the table blue, drawn on a 64
// grid and scaled to size (packaging/ravik.svg is the same drawing).
QImage ProgramIcon(int size) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient fill(0, 0, 0, 64);
    fill.setColorAt(0, QColor(40, 90, 230));
    fill.setColorAt(1, QColor(10, 30, 150));
    p.setPen(QPen(QColor(8, 20, 90), 2));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 10, 10);
    QPainterPath peaks;
    const double baseline = 50;
    peaks.moveTo(10, baseline);
    const double points[][2] = {{16, 48}, {20, 30}, {24, 47}, {30, 46}, {34, 14}, {38, 46},
                                {44, 45}, {47, 36}, {50, 46}, {54, 48}};
    for (const auto& point : points) peaks.lineTo(point[0], point[1]);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(peaks);
    p.setPen(QPen(QColor(120, 255, 140), 2));
    p.drawLine(QPointF(10, 54), QPointF(54, 54));
    return image;
}

// The table windows' icon: a small table with a header band.
QImage TableIcon() {
    QImage image = Blank(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(10, 30, 120), 1.5));
    p.setBrush(QColor(20, 60, 220));
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2, 2);
    p.setPen(QPen(Qt::white, 1.5));
    p.drawLine(QPointF(3, 11), QPointF(29, 11));
    for (double y : {16.0, 21.0}) p.drawLine(QPointF(6, y), QPointF(26, y));
    p.setPen(QPen(QColor(120, 255, 140), 1.5));
    p.drawLine(QPointF(6, 16), QPointF(14, 16));
    return image;
}

bool Save(const QImage& image, const QDir& directory, const char* name) {
    const QString path = directory.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (image.save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: ravik-draw-pictures DIRECTORY [ICON-SIZE...]\n");
        return 2;
    }
    const QDir directory(QString::fromLocal8Bit(argv[1]));
    if (!directory.mkpath(QStringLiteral("."))) return 1;

    struct ButtonPictures {
        Glyph glyph;
        const char* normal;
        const char* greyed;
        const char* pressed;
    };
    const ButtonPictures buttons[] = {
        {OpenGlyph, "OPEN_QB", "OPEN_QB_GR", "OPEN_QB_DN"},
        {SaveGlyph, "SAVE_QB", "SAVE_QB_GR", "SAVE_QB_DN"},
        {PrintGlyph, "PRINT_QB", "PRINT_QB_GR", "PRINT_QB_DN"},
        {RemoteGlyph, "REMOTE_QB", "REMOTE_QB_GR", "REMOTE_QB_DN"},
        {[](QPainter& p) { ConnectGlyph(p, false); }, "CONNECT_UP", "CONNECT_GR", "CONNECT_DN"},
        {[](QPainter& p) { ConnectGlyph(p, true); }, "CONNECTED_UP", "CONNECTED_GR", "CONNECTED_DN"},
        {HelpGlyph, "HELP_QB", "HELP_QB_GR", "HELP_QB_DN"},
    };
    bool ok = true;
    for (const ButtonPictures& b : buttons) {
        ok = Save(Button(b.glyph, Face::Normal), directory, b.normal) && ok;
        ok = Save(Button(b.glyph, Face::Greyed), directory, b.greyed) && ok;
        ok = Save(Button(b.glyph, Face::Pressed), directory, b.pressed) && ok;
    }
    ok = Save(ButtonBack(), directory, "ButtonBack") && ok;
    ok = Save(ProgramIcon(64), directory, "ORVEXBLAND") && ok;
    // The program's icon in the sizes given after the directory ("ravik-48.png" ...).
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        ok = size > 0 && Save(ProgramIcon(size), directory, ("ravik-" + std::to_string(size)).c_str()) && ok;
    }
    ok = Save(TableIcon(), directory, "TABLE_ICON") && ok;
    return ok ? 0 : 1;
}

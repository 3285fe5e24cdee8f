#include "ui/common/qt_text.h"

#include <QFile>
#include <QWidget>
#include <array>

#include "core/platform/text1252.h"

namespace ravik {

namespace {

// The UTF-16 code unit of every byte, built once from the core's mapping.
const std::array<char16_t, 256>& CodeUnits() {
    static const std::array<char16_t, 256> kUnits = [] {
        std::array<char16_t, 256> units{};
        for (int byte = 0; byte < 256; ++byte) {
            const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
            units[static_cast<size_t>(byte)] = QString::fromStdString(utf8).at(0).unicode();
        }
        return units;
    }();
    return kUnits;
}

}  // namespace

QString ToQString(std::string_view bytes) {
    const std::array<char16_t, 256>& units = CodeUnits();
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) *out++ = QChar(units[static_cast<unsigned char>(c)]);
    return text;
}

std::string FromQString(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QString PathToQString(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string PathFromQString(const QString& path) { return QFile::encodeName(path).toStdString(); }

void SetControlId(QWidget* control, int id) {
    control->setProperty("controlId", id);
    control->setObjectName(QStringLiteral("id%1").arg(id));
}

}  // namespace ravik

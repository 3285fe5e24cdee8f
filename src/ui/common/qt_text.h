#pragma once
// Where the program's Windows-1252 texts meet Qt: the one conversion helper
// of the desktop side, and control ids on widgets.

#include <QString>
#include <string>
#include <string_view>

class QWidget;

namespace ravik {

// Windows-1252 bytes to a QString, and back ('?' for what 1252 cannot hold).
QString ToQString(std::string_view bytes);
std::string FromQString(const QString& text);

// A UTF-8 text made for display (captions, titles).
inline QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// A file path as the file system spells it, and back.
QString PathToQString(const std::string& path);
std::string PathFromQString(const QString& path);

// Gives a control its numeric id: the "controlId" property and the object
// name "id<id>", by which code and tests find it.
void SetControlId(QWidget* control, int id);

}  // namespace ravik

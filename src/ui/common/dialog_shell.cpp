#include "ui/common/dialog_shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "ui/common/qt_text.h"
#include "ui/link/remote_painter.h"

namespace ravik {

namespace {

// A text for a control: Windows-1252, with its CR LF line ends as plain line feeds.
QString ControlText(const std::string& text) { return ToQString(text).remove(QLatin1Char('\r')); }

void SetText(QWidget* control, const std::string& text) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(ControlText(text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(ControlText(text));
    } else if (auto* box = qobject_cast<DisplayBox*>(control)) {
        box->showText(ControlText(text));
    }
}

void FillList(QWidget* control, const ListEvent& event) {
    auto* list = qobject_cast<QListWidget*>(control);
    if (list == nullptr) return;
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& item : event.items) list->addItem(ToQString(item));
    list->setCurrentRow(event.selected);
}

void EnableAllButCancel(QDialog& dialog, bool enabled) {
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        const QVariant id = child->property("controlId");
        if (id.isValid() && id.toInt() != 2) child->setEnabled(enabled);
    }
}

void Apply(QDialog& dialog, const DialogEvent& event) {
    if (const auto* end = std::get_if<EndEvent>(&event)) {
        dialog.done(end->result);
        return;
    }
    if (std::holds_alternative<BeepEvent>(event)) {
        QApplication::beep();
        return;
    }
    if (const auto* enable = std::get_if<EnableEvent>(&event); enable && enable->control == kEveryControlButCancel) {
        EnableAllButCancel(dialog, enable->enabled);
        return;
    }
    const int id = std::visit([](const auto& e) {
        if constexpr (requires { e.control; }) return e.control; else return 0;
    }, event);
    QWidget* control = FindControl(dialog, id);
    if (control == nullptr) return;
    auto* box = qobject_cast<DisplayBox*>(control);
    std::visit([&](const auto& e) {
        using E = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<E, TextEvent>) {
            SetText(control, e.text);
        } else if constexpr (std::is_same_v<E, CheckEvent>) {
            if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setChecked(e.checked);
        } else if constexpr (std::is_same_v<E, EnableEvent>) {
            control->setEnabled(e.enabled);
        } else if constexpr (std::is_same_v<E, ShowEvent>) {
            control->setVisible(e.visible);
        } else if constexpr (std::is_same_v<E, FillEvent>) {
            if (box) box->showShade(e.shade);
        } else if constexpr (std::is_same_v<E, PictureEvent>) {
            if (box) box->showPicture(e.picture);
        } else if constexpr (std::is_same_v<E, PlotEvent>) {
            if (box) box->showPlot(e.plot);
        } else if constexpr (std::is_same_v<E, BitmapEvent>) {
            if (box) box->showVerdict(QString::fromStdString(e.name));
        } else if constexpr (std::is_same_v<E, ListEvent>) {
            FillList(control, e);
        } else if constexpr (std::is_same_v<E, SelectEvent>) {
            if (auto* combo = qobject_cast<QComboBox*>(control)) {
                const QSignalBlocker quiet(combo);
                combo->setCurrentIndex(e.index);
            }
        }
    }, event);
}

}  // namespace

QWidget* FindControl(const QWidget& dialog, int id) {
    return dialog.findChild<QWidget*>(QStringLiteral("id%1").arg(id));
}

void ApplyDialogEvents(QDialog& dialog, const std::vector<DialogEvent>& events) {
    for (const DialogEvent& event : events) Apply(dialog, event);
}

}  // namespace ravik

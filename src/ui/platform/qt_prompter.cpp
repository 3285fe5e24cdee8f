#include "ui/platform/qt_prompter.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"

namespace ravik {

namespace {

// A box shown while the wait cursor is up (a load reporting a damaged file)
// gets the arrow back for as long as it is open.
class ArrowCursorWhileOpen {
public:
    ArrowCursorWhileOpen() : active_(QGuiApplication::overrideCursor() != nullptr) {
        if (active_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowCursorWhileOpen() {
        if (active_) QGuiApplication::restoreOverrideCursor();
    }
    ArrowCursorWhileOpen(const ArrowCursorWhileOpen&) = delete;
    ArrowCursorWhileOpen& operator=(const ArrowCursorWhileOpen&) = delete;

private:
    bool active_;
};

// The system's texts end their lines in CR LF or LF; a box shows lines.
QString BoxText(const std::string& text) { return ToQString(text).remove(QLatin1Char('\r')); }

QMessageBox::Icon BoxIcon(Icon icon) {
    switch (icon) {
        case Icon::Stop: return QMessageBox::Critical;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Information: return QMessageBox::Information;
        case Icon::Exclamation: return QMessageBox::Warning;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok: return QMessageBox::Ok;
        case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton ButtonOf(Answer answer) {
    switch (answer) {
        case Answer::Ok: return QMessageBox::Ok;
        case Answer::Cancel: return QMessageBox::Cancel;
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

Answer AnswerOf(int button, Buttons buttons) {
    switch (button) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        default: break;
    }
    // Closed with Escape or the window's close button: the box's way out.
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (buttons == Buttons::YesNo) return Answer::No;
    return Answer::Cancel;
}

// A message box; without a default answer Qt makes its first button the default.
Answer ShowBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
               const Answer* defaultAnswer) {
    ArrowCursorWhileOpen arrow;
    QMessageBox box(BoxIcon(icon), ToQString(caption), BoxText(text), BoxButtons(buttons),
                    QApplication::activeWindow());
    if (defaultAnswer != nullptr) box.setDefaultButton(ButtonOf(*defaultAnswer));
    return AnswerOf(box.exec(), buttons);
}

}  // namespace

Answer QtPrompter::ask(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) {
    return ShowBox(text, caption, buttons, icon, nullptr);
}

Answer QtPrompter::askWithDefault(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                                  Answer defaultAnswer) {
    return ShowBox(text, caption, buttons, icon, &defaultAnswer);
}

int QtPrompter::choose(const ChoiceDialog& dialog) {
    ArrowCursorWhileOpen arrow;
    QDialog box(QApplication::activeWindow());
    box.setObjectName(QString::fromStdString(dialog.resource));
    box.setWindowTitle(ToQString(dialog.title));
    auto* layout = new QVBoxLayout(&box);
    if (!dialog.text.empty()) layout->addWidget(new QLabel(BoxText(dialog.text), &box));
    auto* row = new QHBoxLayout;
    for (const ChoiceButton& choice : dialog.buttons) {
        auto* button = new QPushButton(ToQString(choice.label), &box);
        SetControlId(button, choice.id);
        QObject::connect(button, &QPushButton::clicked, &box, [&box, id = choice.id] { box.done(id); });
        row->addWidget(button);
        // The chosen default takes the focus too, so that Enter and Space both press it.
        if (choice.id == dialog.defaultId) {
            button->setDefault(true);
            button->setFocus();
        }
    }
    layout->addLayout(row);
    const int result = box.exec();
    // Escape and the close button reject the dialog: that is Cancel.
    return result == QDialog::Rejected ? kCancelId : result;
}

}  // namespace ravik

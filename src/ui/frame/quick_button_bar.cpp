#include "ui/frame/quick_button_bar.h"

#include <QPaintEvent>
#include <QPainter>

#include "core/shell/command_ids.h"
#include "ui/common/qt_text.h"

namespace ravik {

namespace {

constexpr int kPictureSize = 24;
constexpr int kFirstX = 4;
constexpr int kStepX = 28;
constexpr int kTopY = 5;

QPixmap Picture(const QString& name) { return QPixmap(QStringLiteral(":/pictures/%1.png").arg(name)); }

struct ButtonPlace {
    int controlId;
    const char* picture;  // the picture names: NAME, NAME_GR, NAME_DN
    const char* tip;
};

constexpr ButtonPlace kButtons[] = {
    {control::kOpenButton, "OPEN_QB", "Open (Ctrl+O)"},    {control::kSaveButton, "SAVE_QB", "Save (Ctrl+S)"},
    {control::kPrintButton, "PRINT_QB", "Print (Ctrl+P)"}, {control::kRemoteButton, "REMOTE_QB", "Remote"},
    {control::kConnectButton, nullptr, "Receive"},         {control::kHelpButton, "HELP_QB", "Help (F1)"},
};

int CommandOf(int controlId, bool portOpen) {
    switch (controlId) {
        case control::kOpenButton: return command::kOpen;
        case control::kSaveButton: return command::kSave;
        case control::kPrintButton: return command::kPrint;
        case control::kRemoteButton: return command::kRemote;
        case control::kConnectButton: return portOpen ? command::kConnectionEnded : command::kReceive;
        default: return command::kQuickHelp;
    }
}

}  // namespace

PictureButton::PictureButton(int controlId, const QString& pictureName, QWidget* parent)
    : QAbstractButton(parent) {
    SetControlId(this, controlId);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kPictureSize, kPictureSize);
    setPictures(pictureName, pictureName + QStringLiteral("_GR"), pictureName + QStringLiteral("_DN"));
}

void PictureButton::setPictures(const QString& normal, const QString& greyed, const QString& pressed) {
    normal_ = normal;
    greyed_ = greyed;
    pressed_ = pressed;
    update();
}

QSize PictureButton::sizeHint() const { return {kPictureSize, kPictureSize}; }

void PictureButton::paintEvent(QPaintEvent*) {
    shown_ = !isEnabled() ? greyed_ : isDown() ? pressed_ : normal_;
    QPainter painter(this);
    painter.drawPixmap(0, 0, Picture(shown_));
}

QuickButtonBar::QuickButtonBar(QWidget* parent)
    : QWidget(parent), background_(Picture(QStringLiteral("ButtonBack"))) {
    setObjectName(QStringLiteral("QUICKBUTTONS"));
    setFixedHeight(background_.height());
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const ButtonPlace& place = kButtons[i];
        const QString picture = place.picture ? QString::fromLatin1(place.picture) : QStringLiteral("CONNECT");
        auto* button = new PictureButton(place.controlId, picture, this);
        button->setToolTip(QString::fromLatin1(place.tip));
        button->move(kFirstX + static_cast<int>(i) * kStepX, kTopY);
        connect(button, &QAbstractButton::clicked, this, [this, id = place.controlId] {
            Q_EMIT commandPosted(CommandOf(id, portOpen_));
        });
        buttons_[i] = button;
    }
    setPortOpen(false);
}

PictureButton* QuickButtonBar::button(int controlId) const {
    for (PictureButton* b : buttons_) {
        if (b->property("controlId").toInt() == controlId) return b;
    }
    return nullptr;
}

void QuickButtonBar::setButtonEnabled(int controlId, bool enabled) {
    if (PictureButton* b = button(controlId)) b->setEnabled(enabled);
}

void QuickButtonBar::setPortOpen(bool open) {
    portOpen_ = open;
    const QString name = open ? QStringLiteral("CONNECTED") : QStringLiteral("CONNECT");
    button(control::kConnectButton)->setPictures(name + QStringLiteral("_UP"), name + QStringLiteral("_GR"),
                                                 name + QStringLiteral("_DN"));
    button(control::kConnectButton)->setToolTip(open ? QStringLiteral("End connection") : QStringLiteral("Receive"));
}

void QuickButtonBar::paintEvent(QPaintEvent* event) {
    // The background picture runs across the whole bar.
    QPainter painter(this);
    painter.drawTiledPixmap(event->rect(), background_, event->rect().topLeft());
}

}  // namespace ravik

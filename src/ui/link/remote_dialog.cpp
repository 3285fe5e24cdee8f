#include "ui/link/remote_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <optional>

#include "ui/common/qt_text.h"
#include "ui/common/dialog_shell.h"
#include "ui/link/remote_painter.h"

namespace ravik {

namespace {

using namespace remote_control;

// The analyzer's 160 x 80 screen at three times its size, the portrait
// screen at twice, so every pixel stays a sharp square.
constexpr QSize kLandscapeSize(3 * kScreenWidth + 2, 3 * kScreenHeight + 2);
constexpr QSize kPortraitSize(2 * kScreenHeight + 60, 2 * kScreenWidth + 2);
constexpr QSize kSpectrumSize(3 * kScreenWidth + 2, 200);

QPushButton* AddButton(QWidget* parent, int id, const char* label) {
    auto* button = new QPushButton(QString::fromLatin1(label), parent);
    SetControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* AddCheck(QWidget* parent, int id, const char* label) {
    auto* check = new QCheckBox(QString::fromLatin1(label), parent);
    SetControlId(check, id);
    return check;
}

QLineEdit* AddEdit(QWidget* parent, int id) {
    auto* edit = new QLineEdit(parent);
    SetControlId(edit, id);
    return edit;
}

std::string EditText(const QLineEdit* edit) { return FromQString(edit->text()); }

// The room the status text needs in a box: its widest line and all its
// lines, measured on a record whose every value has six digits.
QSize StatusTextSize(const QWidget& box) {
    std::vector<uint8_t> payload(8, 0);
    for (int value = 0; value < 17; ++value) payload.insert(payload.end(), {0x3F, 0x42, 0x0F, 0x00});  // 9999.99
    payload.push_back(kReplyTerminator);
    const QString text = ToQString(StatusText(payload).value_or(std::string())).remove(QLatin1Char('\r'));
    const QRect needed = box.fontMetrics().boundingRect(QRect(0, 0, 4000, 4000),
                                                        Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, text);
    return needed.size() + QSize(DisplayBox::kTextMargin * 2 + 4, DisplayBox::kTextMargin * 2 + 4);
}

}  // namespace

RemoteDialog::RemoteDialog(SerialLine& line, Prompter& prompter, Clock& clock, const SerialPortConfig& config,
                           QWidget* parent)
    : QDialog(parent), session_(line, prompter, clock, config) {
    setObjectName(QStringLiteral("REMOTEDIALOGBOX"));
    setWindowTitle(QStringLiteral("Remote Control"));
    // Everything sits in a scroll area, so that on a small screen the dialog
    // fits and the rest is scrolled to rather than cut off.
    auto* content = new QWidget(this);
    auto* layout = new QHBoxLayout(content);
    layout->addWidget(buildDisplays(), 1);
    layout->addWidget(buildControls());
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    // The diagnostic line and the calibration values are kept but not shown.
    auto* diagnostic = new QLabel(this);
    SetControlId(diagnostic, kDiagnostic);
    diagnostic->hide();
    for (int id : {kEzero, kEscale, kTempset}) AddEdit(this, id)->hide();

    timer_.setInterval(kRemoteTickMillis);
    connect(&timer_, &QTimer::timeout, this, &RemoteDialog::tick);
    fitToScreen(*content);
}

void RemoteDialog::fitToScreen(const QWidget& content) {
    const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    QSize wanted = content.sizeHint();
    if (screen == nullptr) {
        resize(wanted);
        return;
    }
    // Room for the window frame and its title bar; when the content is cut
    // down, its scroll bars need their own room.
    const QSize room = screen->availableGeometry().size() - QSize(12, 40);
    if (wanted.width() > room.width()) wanted.rheight() += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (wanted.height() > room.height()) wanted.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    resize(wanted.boundedTo(room));
}

QWidget* RemoteDialog::buildDisplays() {
    auto* displays = new QWidget(this);
    auto* grid = new QGridLayout(displays);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new DisplayBox(kLandscape, kLandscapeSize, displays), 0, 0, 2, 1);
    grid->addWidget(new DisplayBox(kSpectrum, kSpectrumSize, displays), 2, 0);
    // The portrait screen's box also shows the status text: it is never
    // narrower or lower than the text, so no value is cut off.
    auto* caption = new QLabel(displays);
    SetControlId(caption, kStatusCaption);
    caption->setWordWrap(true);
    auto* portrait = new DisplayBox(kPortrait, kPortraitSize, displays);
    portrait->setMinimumSize(portrait->minimumSize().expandedTo(StatusTextSize(*portrait)));
    caption->setMaximumWidth(portrait->minimumWidth());
    grid->addWidget(caption, 0, 1);
    grid->addWidget(portrait, 1, 1, 2, 1);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(2, 2);
    return displays;
}

QWidget* RemoteDialog::buildControls() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto* keys = new QGroupBox(QStringLiteral("Keys"), panel);
    auto* keyRow = new QHBoxLayout(keys);
    auto* upKey = new ArrowButton(kUp, Arrow::Up, QStringLiteral("UP"), keys);
    auto* downKey = new ArrowButton(kDown, Arrow::Down, QStringLiteral("DN"), keys);
    auto* clearKeyButton = new ArrowButton(kClear, Arrow::Right, QStringLiteral("CL"), keys);
    for (ArrowButton* key : {upKey, downKey, clearKeyButton}) keyRow->addWidget(key);
    connect(upKey, &QAbstractButton::clicked, this, &RemoteDialog::up);
    connect(downKey, &QAbstractButton::clicked, this, &RemoteDialog::down);
    connect(clearKeyButton, &QAbstractButton::clicked, this, &RemoteDialog::clearKey);
    column->addWidget(keys);

    auto* measure = new QGroupBox(QStringLiteral("Measurement"), panel);
    auto* measureGrid = new QGridLayout(measure);
    QPushButton* startButton = AddButton(measure, kStart, "Start");
    QPushButton* stopButton = AddButton(measure, kStop, "Stop");
    QPushButton* autoButton = AddButton(measure, kAutoStart, "AutoStart");
    measureGrid->addWidget(startButton, 0, 0);
    measureGrid->addWidget(stopButton, 0, 1);
    measureGrid->addWidget(autoButton, 1, 0, 1, 2);
    measTime_ = AddEdit(measure, kMeasTime);
    measTime_->setValidator(new QDoubleValidator(0.0, 99999.0, 2, measTime_));
    numRepeat_ = AddEdit(measure, kNumRepeat);
    numRepeat_->setValidator(new QIntValidator(0, 9999, numRepeat_));
    measureGrid->addWidget(new QLabel(QStringLiteral("Meas. Time"), measure), 2, 0);
    measureGrid->addWidget(measTime_, 2, 1);
    measureGrid->addWidget(new QLabel(QStringLiteral("Num Repeat"), measure), 3, 0);
    measureGrid->addWidget(numRepeat_, 3, 1);
    connect(startButton, &QPushButton::clicked, this, &RemoteDialog::startMeasurement);
    connect(stopButton, &QPushButton::clicked, this, &RemoteDialog::stopMeasurement);
    connect(autoButton, &QPushButton::clicked, this, &RemoteDialog::autoStart);
    column->addWidget(measure);

    auto* polls = new QGroupBox(QStringLiteral("Show"), panel);
    auto* pollColumn = new QVBoxLayout(polls);
    screenCheck_ = AddCheck(polls, kScreenCheck, "Orvex Screen");
    spectraCheck_ = AddCheck(polls, kSpectraCheck, "Spectra");
    passFailCheck_ = AddCheck(polls, kPassFailCheck, "Pass/Fail");
    for (QCheckBox* check : {screenCheck_, spectraCheck_, passFailCheck_}) pollColumn->addWidget(check);
    connect(screenCheck_, &QCheckBox::toggled, this, [this](bool on) { session_.setScreenPolling(on); });
    connect(spectraCheck_, &QCheckBox::toggled, this, [this](bool on) { session_.setSpectraPolling(on); });
    connect(passFailCheck_, &QCheckBox::toggled, this, [this](bool on) { session_.setPassFailPolling(on); });
    baudList_ = new QComboBox(polls);
    SetControlId(baudList_, kBaudList);
    for (const BaudRate& rate : kBaudRates) baudList_->addItem(QString::fromLatin1(rate.label));
    baudList_->setEnabled(false);
    connect(baudList_, &QComboBox::activated, this, &RemoteDialog::changeBaud);
    pollColumn->addWidget(baudList_);
    column->addWidget(polls);

    column->addWidget(new QLabel(QStringLiteral("Expected Alloy"), panel));
    alloyList_ = new QListWidget(panel);
    SetControlId(alloyList_, kAlloyList);
    alloyList_->setEnabled(false);
    alloyList_->setMinimumHeight(90);
    connect(alloyList_, &QListWidget::currentRowChanged, this, &RemoteDialog::selectAlloy);
    column->addWidget(alloyList_, 1);
    // The verdict, and beside it the grade the analyzer identified.
    auto* verdictRow = new QHBoxLayout;
    verdictRow->addWidget(new DisplayBox(kPassFail, QSize(96, 48), panel));
    auto* grade = new QLabel(panel);
    SetControlId(grade, kGradeName);
    grade->setToolTip(QStringLiteral("The grade the analyzer identified"));
    QFont bold = grade->font();
    bold.setBold(true);
    grade->setFont(bold);
    grade->setMinimumWidth(grade->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMMMMM")));
    verdictRow->addWidget(grade);
    column->addLayout(verdictRow);

    QPushButton* exitButton = AddButton(panel, kExit, "Exit");
    connect(exitButton, &QPushButton::clicked, this, &RemoteDialog::exitDialog);
    column->addWidget(exitButton);
    return panel;
}

void RemoteDialog::start() {
    session_.start();
    if (auto* screen = qobject_cast<DisplayBox*>(FindControl(*this, kLandscape))) {
        screen->showText(QStringLiteral("Looking for the analyzer..."));
    }
    timer_.start();
}

void RemoteDialog::tick() {
    const bool searching = session_.phase() == RemoteSession::Phase::Searching;
    session_.tick();
    if (searching && session_.phase() == RemoteSession::Phase::Connected) {
        // Found: the search text goes, and the status box shows the analyzer's state.
        qobject_cast<DisplayBox*>(FindControl(*this, kLandscape))->showText(QString());
        session_.requestStatus();
    }
    applyEvents();
}

void RemoteDialog::applyEvents() {
    const std::vector<DialogEvent> events = session_.takeEvents();
    ApplyDialogEvents(*this, events);
    for (const DialogEvent& event : events) {
        if (std::holds_alternative<EndEvent>(event)) timer_.stop();
    }
}

void RemoteDialog::up() {
    session_.up();
    applyEvents();
}

void RemoteDialog::down() {
    session_.down();
    applyEvents();
}

void RemoteDialog::clearKey() {
    session_.clear();
    applyEvents();
}

void RemoteDialog::startMeasurement() {
    session_.startMeasurement();
    applyEvents();
}

void RemoteDialog::stopMeasurement() {
    session_.stopMeasurement();
    applyEvents();
}

void RemoteDialog::autoStart() {
    session_.autoStart(EditText(measTime_), EditText(numRepeat_));
    applyEvents();
}

void RemoteDialog::changeBaud(int index) {
    session_.changeBaud(index);
    applyEvents();
}

void RemoteDialog::selectAlloy() {
    const QListWidgetItem* item = alloyList_->currentItem();
    session_.selectAlloy(item ? std::optional<std::string>(FromQString(item->text())) : std::nullopt);
}

void RemoteDialog::exitDialog() {
    timer_.stop();
    session_.exit();
    done(0);
}

}  // namespace ravik

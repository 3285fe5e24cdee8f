#include "ui/settings/configuration_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QCheckBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "ui/common/dialog_buttons.h"
#include "ui/common/qt_text.h"
#include "core/platform/prompter.h"
#include "ui/settings/column_dialog.h"
#include "core/settings/settings_file.h"

namespace ravik {

namespace {

constexpr int kRepeatMillis = 100;  // up/down buttons repeat this often while held
constexpr int kPortRadios[] = {203, 204, 205, 206};
// Beside each port: the device chosen for it and what it resolves to.
constexpr int kPortDeviceChoice = 2203;
constexpr int kPortDeviceText = 2213;
constexpr int kColorRadios[] = {1024, 1059, 1047, 1162, 1163};
constexpr const char* kColorLabels[] = {"Normal", "Positive", "Marked", "Deleted", "Background"};
constexpr int kColorTexts[] = {1164, 1165, 1166};
constexpr int kColorSteps[][2] = {{417, 418}, {420, 421}, {422, 423}};
constexpr const char* kFontSizes[] = {"Fit", "4", "6", "8", "10", "12", "14", "16"};
// The four rates of the dialog and 115.2K, which the analyzer also offers:
// a stored index 4 stays selectable instead of being lost on OK.
constexpr const char* kBaudLabels[] = {"9.6K", "19.2K", "38.4K", "56K", "115.2K"};
constexpr const char* kExportForms[] = {"Single File w/ TAB Delimiter", "Single File w/ COMMA Delimiter",
                                        "Multi File w/ TAB Delimiter", "Multi File w/ COMMA Delimiter"};
constexpr int kScaleRadios[] = {kScaleSqrt, kScaleLinear, kScaleLog};
constexpr const char* kScaleLabels[] = {"Sqrt", "Linear", "Log"};
constexpr int kColumnButtons[] = {1107, 1108, 1109, 1110, 1111};
constexpr const char* kColumnButtonLabels[] = {"&Paint Columns", "&Bulk Columns", "&Thin Columns",
                                               "&Alloy Columns", "Si&gn. Columns"};
constexpr Mode kColumnModes[] = {Mode::Paint, Mode::Bulk, Mode::Thin, Mode::Alloy, Mode::Sign};

// A widget that draws itself with a function: the colour sample and the
// layout preview.
class PaintedBox : public QWidget {
public:
    PaintedBox(std::function<void(QPainter&, const QRect&)> draw, QWidget* parent)
        : QWidget(parent), draw_(std::move(draw)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        draw_(painter, rect());
    }

private:
    std::function<void(QPainter&, const QRect&)> draw_;
};

QColor ColourOf(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

template <typename W>
W* WithId(W* widget, int id) {
    SetControlId(widget, id);
    return widget;
}

QLabel* TextLabel(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

// An owner-drawn up/down pair: repeats every 100 ms while held.
QToolButton* StepButton(QWidget* parent, int id, Qt::ArrowType arrow, std::function<void()> step) {
    auto* button = WithId(new QToolButton(parent), id);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(kRepeatMillis);
    button->setAutoRepeatInterval(kRepeatMillis);
    button->setFocusPolicy(Qt::TabFocus);
    QObject::connect(button, &QToolButton::clicked, parent, std::move(step));
    return button;
}

// "text" shown in a sunken box, then the up/down pair.
QHBoxLayout* StepRow(QWidget* parent, QLabel* text, int upId, int downId, const std::function<void(int)>& step,
                     std::vector<QWidget*>* group = nullptr) {
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    auto* row = new QHBoxLayout;
    QToolButton* up = StepButton(parent, upId, Qt::UpArrow, [step] { step(+1); });
    QToolButton* down = StepButton(parent, downId, Qt::DownArrow, [step] { step(-1); });
    row->addWidget(text);
    row->addWidget(up);
    row->addWidget(down);
    if (group != nullptr) group->insert(group->end(), {text, up, down});
    return row;
}

// Checks one radio of an exclusive group, or none.
void CheckOnly(const std::vector<QAbstractButton*>& radios, int index) {
    for (size_t i = 0; i < radios.size(); ++i) {
        radios[i]->setAutoExclusive(false);
        radios[i]->setChecked(static_cast<int>(i) == index);
        radios[i]->setAutoExclusive(true);
    }
}

}  // namespace

ConfigurationDialog::ConfigurationDialog(ConfigKind kind, Settings& settings, const ColumnTitles& titles,
                                         std::string directory, Prompter& prompter, ConfigurationHooks hooks,
                                         QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      settings_(settings),
      titles_(titles),
      directory_(std::move(directory)),
      prompter_(prompter),
      hooks_(std::move(hooks)),
      values_(ConfigValuesOf(settings)),
      openedColors_(settings.colors) {
    setObjectName(QString::fromLatin1(ConfigResourceName(kind)));
    setWindowTitle(QString::fromLatin1(ConfigTitle(kind)));
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    if (kind == ConfigKind::Setup) columns->addLayout(right);
    auto addGroup = [this](QVBoxLayout* to, const QString& title, void (ConfigurationDialog::*build)(QWidget*)) {
        auto* group = new QGroupBox(title, this);
        (this->*build)(group);
        to->addWidget(group);
    };
    if (HasSection(kind, ConfigSection::Ports)) addGroup(left, QStringLiteral("Port"), &ConfigurationDialog::buildPortGroup);
    if (HasSection(kind, ConfigSection::Protocol)) {
        addGroup(left, QStringLiteral("Paint Classification"), &ConfigurationDialog::buildProtocolGroup);
    }
    if (HasSection(kind, ConfigSection::Display)) addGroup(left, QStringLiteral("Display"), &ConfigurationDialog::buildDisplayGroup);
    QVBoxLayout* outputSide = kind == ConfigKind::Setup ? right : left;
    if (HasSection(kind, ConfigSection::Output)) addGroup(outputSide, QStringLiteral("Output"), &ConfigurationDialog::buildOutputGroup);
    if (kind == ConfigKind::Setup) addGroup(right, QStringLiteral("Columns"), &ConfigurationDialog::buildColumnButtons);
    left->addStretch();
    right->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(OkCancelButtons(this, [this] { ok(); }));
}

void ConfigurationDialog::buildPortGroup(QWidget* box) {
    auto* grid = new QGridLayout(box);
    ports_ = ProbeComPorts(values_.portPaths);
    devices_ = DetectSerialDevices();
    values_.currentPort = AvailablePort(values_.currentPort, ports_);
    for (int n = 0; n < kComPortCount; ++n) {
        const auto slot = static_cast<size_t>(n);
        auto* radio = WithId(new QRadioButton(QStringLiteral("COM%1").arg(n + 1), box), kPortRadios[n]);
        connect(radio, &QRadioButton::clicked, this, [this, n] { choosePort(n); });
        auto* choice = WithId(new QComboBox(box), kPortDeviceChoice + n);
        choice->addItem(QStringLiteral("(automatic)"), QString());
        for (const SerialDevice& device : devices_) choice->addItem(ToQString(device.name), ToQString(device.path));
        const QString chosen = ToQString(values_.portPaths[slot]);
        if (!chosen.isEmpty() && choice->findData(chosen) < 0) choice->addItem(chosen, chosen);
        choice->setCurrentIndex(std::max(0, choice->findData(chosen)));
        choice->setToolTip(QStringLiteral("The device COM%1 stands for").arg(n + 1));
        // $RAVIK_COMn names the device itself; the choice then does not apply.
        choice->setEnabled(qEnvironmentVariableIsEmpty(qPrintable(QStringLiteral("RAVIK_COM%1").arg(n + 1))));
        connect(choice, &QComboBox::activated, this, [this, n, choice](int index) {
            assignDevice(n, FromQString(choice->itemData(index).toString()));
        });
        auto* text = WithId(new QLabel(box), kPortDeviceText + n);
        portRadios_[slot] = radio;
        portDevices_[slot] = choice;
        portTexts_[slot] = text;
        grid->addWidget(radio, n, 0);
        grid->addWidget(choice, n, 1);
        grid->addWidget(text, n, 2);
    }
    grid->addWidget(TextLabel(QStringLiteral("Baud Rate"), box), kComPortCount, 0);
    auto* baud = WithId(new QComboBox(box), 1169);
    for (const char* label : kBaudLabels) baud->addItem(QString::fromLatin1(label));
    baud->setCurrentIndex(values_.baud);
    connect(baud, &QComboBox::currentIndexChanged, this, &ConfigurationDialog::chooseBaud);
    grid->addWidget(baud, kComPortCount, 1);
    grid->setColumnStretch(2, 1);
    showPorts();
}

void ConfigurationDialog::buildDisplayGroup(QWidget* box) {
    auto* grid = new QGridLayout(box);
    auto* sizes = WithId(new QListWidget(box), 1156);
    for (const char* size : kFontSizes) sizes->addItem(QString::fromLatin1(size));
    sizes->setCurrentRow(values_.displayFontSize);
    sizes->setMaximumWidth(sizes->fontMetrics().horizontalAdvance(QStringLiteral("Font Size")) + 30);
    sizes->setFixedHeight(sizes->sizeHintForRow(0) * sizes->count() + 2 * sizes->frameWidth());
    connect(sizes, &QListWidget::currentRowChanged, this, &ConfigurationDialog::chooseFontSize);
    grid->addWidget(TextLabel(QStringLiteral("Font Size"), box), 0, 0);
    grid->addWidget(sizes, 1, 0, 5, 1, Qt::AlignTop);

    std::vector<QAbstractButton*> radios;
    for (int role = 0; role < kColorCount; ++role) {
        auto* radio = WithId(new QRadioButton(QString::fromLatin1(kColorLabels[role]), box), kColorRadios[role]);
        connect(radio, &QRadioButton::clicked, this, [this, role] { chooseColor(static_cast<ColorRole>(role)); });
        grid->addWidget(radio, role + 1, 1);
        radios.push_back(radio);
    }
    CheckOnly(radios, 0);
    constexpr const char* kComponents[] = {"R", "G", "B"};
    for (int c = 0; c < 3; ++c) {
        auto* text = WithId(new QLabel(QStringLiteral("255"), box), kColorTexts[c]);
        colorTexts_[static_cast<size_t>(c)] = text;
        grid->addWidget(TextLabel(QString::fromLatin1(kComponents[c]), box), c + 1, 2);
        grid->addLayout(StepRow(box, text, kColorSteps[c][0], kColorSteps[c][1],
                                [this, c](int direction) { stepColor(c, direction); }),
                        c + 1, 3);
    }
    colorSample_ = WithId(
        new PaintedBox([this](QPainter& painter, const QRect& area) { paintColorSample(painter, area); }, box), 1029);
    colorSample_->setMinimumSize(110, 40);
    grid->addWidget(colorSample_, 4, 2, 1, 2);
    auto* defaults = WithId(new QPushButton(QStringLiteral("Defaults"), box), 1168);
    connect(defaults, &QPushButton::clicked, this, &ConfigurationDialog::setDefaultColors);
    grid->addWidget(defaults, 5, 2, 1, 2);
    if (kind_ == ConfigKind::Display) {
        auto* lod = WithId(new QCheckBox(QStringLiteral("Display Values <LOD"), box), 1238);
        lod->setChecked(values_.displayValuesBelowLod);
        connect(lod, &QCheckBox::toggled, this, &ConfigurationDialog::chooseLod);
        grid->addWidget(lod, 7, 0, 1, 4);
    }
    showColor();
}

void ConfigurationDialog::buildProtocolGroup(QWidget* box) {
    auto* layout = new QVBoxLayout(box);
    auto* sources = new QHBoxLayout;
    auto* device = WithId(new QRadioButton(QStringLiteral("&Device"), box), kPcsDevice);
    auto* user = WithId(new QRadioButton(QStringLiteral("&User"), box), kPcsUser);
    CheckOnly({device, user}, settings_.pcs == kPcsUser ? 1 : 0);
    connect(device, &QRadioButton::clicked, this, [this] { choosePcs(kPcsDevice); });
    connect(user, &QRadioButton::clicked, this, [this] { choosePcs(kPcsUser); });
    sources->addWidget(device);
    sources->addWidget(user);
    sources->addStretch();
    layout->addLayout(sources);

    auto* ranges = new QHBoxLayout;
    negEdit_ = WithId(new QLineEdit(ToQString(RangeText(values_.neg)), box), 1036);
    posEdit_ = WithId(new QLineEdit(ToQString(RangeText(values_.pos)), box), 1038);
    for (QLineEdit* edit : {negEdit_, posEdit_}) {
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000.000")));
        edit->setAlignment(Qt::AlignRight);
    }
    for (QWidget* part : std::initializer_list<QWidget*>{
             TextLabel(QStringLiteral("0.0"), box), TextLabel(QStringLiteral("NEG"), box), negEdit_,
             TextLabel(QStringLiteral("<"), box), TextLabel(QStringLiteral("INC"), box),
             TextLabel(QStringLiteral("<"), box), posEdit_, TextLabel(QStringLiteral("POS"), box)}) {
        ranges->addWidget(part);
    }
    ranges->addStretch();
    layout->addLayout(ranges);
    rangeControls_ = {negEdit_, posEdit_};

    auto* times = new QGroupBox(QStringLiteral("Minimum Time (sec)"), box);
    auto* timeRows = new QGridLayout(times);
    constexpr int kTimeIds[2][3] = {{433, 424, 425}, {434, 419, 1129}};
    constexpr const char* kTimeLabels[] = {"L =", "K ="};
    for (int k = 0; k < 2; ++k) {
        minimumTexts_[k] = WithId(new QLabel(times), kTimeIds[k][0]);
        timeRows->addWidget(TextLabel(QString::fromLatin1(kTimeLabels[k]), times), k, 0);
        timeRows->addLayout(StepRow(times, minimumTexts_[k], kTimeIds[k][1], kTimeIds[k][2],
                                    [this, k](int direction) { stepMinimumTime(k == 1, direction); },
                                    &rangeControls_),
                            k, 1);
    }
    timeRows->setColumnStretch(2, 1);
    layout->addWidget(times);
    showMinimumTimes();
    showProtocolState();
}

void ConfigurationDialog::buildOutputGroup(QWidget* box) {
    auto* layout = new QVBoxLayout(box);
    auto* printer = new QHBoxLayout;
    printerName_ = WithId(new QLabel(box), 1077);
    auto* setup = WithId(new QPushButton(QStringLiteral("&Setup"), box), 1034);
    // Printer Setup comes from the printing side; without it the button is greyed.
    setup->setEnabled(static_cast<bool>(hooks_.printerSetup));
    connect(setup, &QPushButton::clicked, this, &ConfigurationDialog::runPrinterSetup);
    printer->addWidget(TextLabel(QStringLiteral("Printer"), box));
    printer->addWidget(printerName_, 1);
    printer->addWidget(setup);
    layout->addLayout(printer);
    showPrinterName();

    auto* spectra = new QHBoxLayout;
    auto* pageLayout = new QGroupBox(QStringLiteral("Spectrum Printer Layout"), box);
    auto* layoutGrid = new QGridLayout(pageLayout);
    constexpr int kLayoutIds[2][3] = {{431, 413, 414}, {432, 415, 416}};
    constexpr const char* kLayoutLabels[] = {"Horizontal =", "Vertical ="};
    for (int v = 0; v < 2; ++v) {
        layoutTexts_[v] = WithId(new QLabel(pageLayout), kLayoutIds[v][0]);
        layoutGrid->addWidget(TextLabel(QString::fromLatin1(kLayoutLabels[v]), pageLayout), v, 0);
        layoutGrid->addLayout(StepRow(pageLayout, layoutTexts_[v], kLayoutIds[v][1], kLayoutIds[v][2],
                                      [this, v](int direction) { stepLayout(v == 1, direction); }),
                              v, 1);
    }
    preview_ = WithId(
        new PaintedBox([this](QPainter& painter, const QRect& area) { paintLayoutPreview(painter, area); }, pageLayout),
        3000);
    preview_->setMinimumSize(90, 110);
    layoutGrid->addWidget(preview_, 0, 2, 3, 1);
    spectra->addWidget(pageLayout);

    auto* scale = new QGroupBox(QStringLiteral("Spectrum Scale"), box);
    auto* scaleRows = new QVBoxLayout(scale);
    std::vector<QAbstractButton*> scaleRadios;
    int checked = 0;
    for (int i = 0; i < 3; ++i) {
        auto* radio = WithId(new QRadioButton(QString::fromLatin1(kScaleLabels[i]), scale), kScaleRadios[i]);
        connect(radio, &QRadioButton::clicked, this, [this, id = kScaleRadios[i]] { chooseScale(id); });
        scaleRows->addWidget(radio);
        scaleRadios.push_back(radio);
        if (kScaleRadios[i] == values_.spectrumYscale) checked = i;
    }
    CheckOnly(scaleRadios, checked);
    scaleRows->addStretch();
    spectra->addWidget(scale);
    layout->addLayout(spectra);
    showLayout();

    auto* exportRow = new QHBoxLayout;
    auto* exportForm = WithId(new QComboBox(box), 1114);
    for (const char* form : kExportForms) exportForm->addItem(QString::fromLatin1(form));
    exportForm->setCurrentIndex(values_.exportForm);
    connect(exportForm, &QComboBox::currentIndexChanged, this, &ConfigurationDialog::chooseExport);
    exportRow->addWidget(TextLabel(QStringLiteral("Export"), box));
    exportRow->addWidget(exportForm, 1);
    layout->addLayout(exportRow);

    header_ = WithId(new QPlainTextEdit(box), 1035);
    header_->setPlainText(ToQString(values_.reportHeader).remove(QLatin1Char('\r')).chopped(
        values_.reportHeader.ends_with('\n') ? 1 : 0));
    header_->setTabChangesFocus(true);
    // The header keeps at most 255 characters: typing past them is undone.
    connect(header_, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = header_->toPlainText();
        if (text.size() <= static_cast<qsizetype>(kHeaderMaxLength)) return;
        header_->setPlainText(text.left(static_cast<qsizetype>(kHeaderMaxLength)));
        header_->moveCursor(QTextCursor::End);
    });
    header_->setFixedHeight(header_->fontMetrics().lineSpacing() * 5 + 10);
    auto* headerLabel = TextLabel(QStringLiteral("Header"), box);
    headerLabel->setBuddy(header_);
    layout->addWidget(headerLabel);
    layout->addWidget(header_);
}

void ConfigurationDialog::buildColumnButtons(QWidget* box) {
    auto* row = new QHBoxLayout(box);
    for (int i = 0; i < kModeCount; ++i) {
        auto* button = WithId(new QPushButton(QString::fromLatin1(kColumnButtonLabels[i]), box), kColumnButtons[i]);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, mode = kColumnModes[i]] { openColumns(mode); });
        row->addWidget(button);
    }
}

void ConfigurationDialog::showPorts() {
    std::vector<QAbstractButton*> radios(portRadios_.begin(), portRadios_.end());
    const bool any = std::any_of(ports_.begin(), ports_.end(), [](const ComPortState& p) { return p.opens; });
    for (int n = 0; n < kComPortCount; ++n) {
        const ComPortState& port = ports_[static_cast<size_t>(n)];
        portRadios_[static_cast<size_t>(n)]->setEnabled(port.opens);
        portTexts_[static_cast<size_t>(n)]->setText(ToQString(port.path) + (port.opens ? QString() : QStringLiteral("  (does not open)")));
    }
    CheckOnly(radios, any ? values_.currentPort : -1);
}

void ConfigurationDialog::showColor() {
    const Rgb& rgb = settings_.color(chosenColor_);
    const int components[] = {rgb.red, rgb.green, rgb.blue};
    for (size_t c = 0; c < 3; ++c) colorTexts_[c]->setText(ToQString(MinimumTimeText(components[c])));
    colorSample_->update();
}

void ConfigurationDialog::showProtocolState() {
    for (QWidget* control : rangeControls_) control->setEnabled(settings_.pcs == kPcsUser);
}

void ConfigurationDialog::showLayout() {
    layoutTexts_[0]->setText(ToQString(LayoutText(values_.xSpect)));
    layoutTexts_[1]->setText(ToQString(LayoutText(values_.ySpect)));
    preview_->update();
}

void ConfigurationDialog::showMinimumTimes() {
    minimumTexts_[0]->setText(ToQString(MinimumTimeText(values_.minLtime)));
    minimumTexts_[1]->setText(ToQString(MinimumTimeText(values_.minKtime)));
}

void ConfigurationDialog::showPrinterName() {
    const std::string name = hooks_.printerName ? hooks_.printerName() : PrinterDeviceName(settings_.printerLine);
    printerName_->setText(name.empty() ? QStringLiteral("default") : ToQString(name));
}

// The chosen colour as table text on the Background colour.
void ConfigurationDialog::paintColorSample(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, ColourOf(settings_.color(ColorRole::Background)));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(ColourOf(settings_.color(chosenColor_)));
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("12.3 \u00B1 0.4"));
}

// A page in the printer's proportions, divided into the layout's cells.
void ConfigurationDialog::paintLayoutPreview(QPainter& painter, const QRect& area) const {
    const QSize page = previewPage().scaled(area.size() - QSize(2, 2), Qt::KeepAspectRatio);
    const QRect sheet(QPoint(area.center().x() - page.width() / 2, 0), page);
    painter.fillRect(sheet, Qt::white);
    painter.setPen(Qt::gray);
    for (int x = 1; x < values_.xSpect; ++x) {
        const int at = sheet.left() + sheet.width() * x / values_.xSpect;
        painter.drawLine(at, sheet.top(), at, sheet.bottom());
    }
    for (int y = 1; y < values_.ySpect; ++y) {
        const int at = sheet.top() + sheet.height() * y / values_.ySpect;
        painter.drawLine(sheet.left(), at, sheet.right(), at);
    }
    painter.setPen(Qt::black);
    painter.drawRect(sheet);
}

void ConfigurationDialog::choosePort(int port) {
    if (port < 0 || port >= kComPortCount || !ports_[static_cast<size_t>(port)].opens) return;
    values_.currentPort = port;
    showPorts();
}

void ConfigurationDialog::assignDevice(int port, const std::string& path) {
    if (port < 0 || port >= kComPortCount) return;
    values_.portPaths[static_cast<size_t>(port)] = path;
    QComboBox* choice = portDevices_[static_cast<size_t>(port)];
    const QString device = ToQString(path);
    if (choice->findData(device) < 0) choice->addItem(device, device);
    choice->setCurrentIndex(choice->findData(device));
    ports_ = ProbeComPorts(values_.portPaths);
    values_.currentPort = AvailablePort(values_.currentPort, ports_);
    showPorts();
}

void ConfigurationDialog::chooseBaud(int index) { values_.baud = index; }
void ConfigurationDialog::chooseFontSize(int index) { values_.displayFontSize = index; }
void ConfigurationDialog::chooseLod(bool on) { values_.displayValuesBelowLod = on; }
void ConfigurationDialog::chooseExport(int index) { values_.exportForm = index; }
void ConfigurationDialog::chooseScale(int scaleId) { values_.spectrumYscale = scaleId; }

void ConfigurationDialog::chooseColor(ColorRole role) {
    chosenColor_ = role;
    showColor();
}

void ConfigurationDialog::stepColor(int component, int direction) {
    Rgb& rgb = settings_.colors[static_cast<size_t>(chosenColor_)];
    uint8_t* parts[] = {&rgb.red, &rgb.green, &rgb.blue};
    uint8_t& part = *parts[std::clamp(component, 0, 2)];
    part = static_cast<uint8_t>(StepColorComponent(part, direction));
    showColor();
}

void ConfigurationDialog::setDefaultColors() {
    settings_.colors = DefaultColorsOf(kind_);
    showColor();
}

void ConfigurationDialog::reject() {
    settings_.colors = openedColors_;
    QDialog::reject();
}

void ConfigurationDialog::choosePcs(int pcs) {
    settings_.pcs = pcs;
    showProtocolState();
}

void ConfigurationDialog::stepLayout(bool vertical, int direction) {
    int& value = vertical ? values_.ySpect : values_.xSpect;
    value = StepLayout(value, direction);
    showLayout();
}

void ConfigurationDialog::stepMinimumTime(bool kTime, int direction) {
    int& value = kTime ? values_.minKtime : values_.minLtime;
    value = StepMinimumTime(value, direction);
    showMinimumTimes();
}

void ConfigurationDialog::runPrinterSetup() {
    if (!hooks_.printerSetup || !hooks_.printerSetup()) return;
    showPrinterName();
    preview_->update();
}

QSize ConfigurationDialog::previewPage() const {
    if (hooks_.printerPage) return hooks_.printerPage();
    // A letter page at 300 dots per inch.
    const QSize portrait(2550, 3300);
    return settings_.orient == 2 ? portrait.transposed() : portrait;
}

void ConfigurationDialog::openColumns(Mode mode) {
    ColumnDialog(mode, settings_, titles_, directory_, prompter_, hooks_.columnsChanged, this).exec();
}

bool ConfigurationDialog::ok() {
    if (HasSection(kind_, ConfigSection::Protocol)) {
        for (QLineEdit* edit : {negEdit_, posEdit_}) {
            const std::optional<float> value = ParseRangeText(FromQString(edit->text()));
            if (!value) {
                prompter_.error("The paint range \"" + FromQString(edit->text()) + "\" is not a number.\n"
                                "Enter a number such as 1.00.", "ERROR");
                edit->setFocus();
                edit->selectAll();
                return false;
            }
            (edit == negEdit_ ? values_.neg : values_.pos) = *value;
        }
    }
    if (HasSection(kind_, ConfigSection::Output)) {
        std::string header = FromQString(header_->toPlainText());
        if (!header.empty() && !header.ends_with('\n')) header += '\n';
        values_.reportHeader = header;
    }
    TakeConfigValues(kind_, values_, settings_);
    WriteSettings(directory_, settings_, prompter_);
    if (hooks_.settingsApplied) hooks_.settingsApplied();
    accept();
    return true;
}

}  // namespace ravik

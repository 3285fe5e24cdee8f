#include "ui/views/compare_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/output/spectrum_files.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "ui/common/qt_text.h"

namespace ravik {

namespace {

constexpr double kWheelStep = 1.25;  // zoom factor per wheel notch
constexpr double kKeyZoom = 1.5;     // + and -
constexpr double kKeyPan = 0.1;      // arrows: a tenth of the view
constexpr int kDragThreshold = 4;    // pixels before a press becomes a drag

enum ReadingColumn { kLegendColumn, kCursorColumn, kSumColumn, kNetColumn };

QString Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return QString::fromLatin1(text);
}

QIcon Swatch(int id) {
    QPixmap pixmap(14, 14);
    pixmap.fill(CompareColour(id));
    return QIcon(pixmap);
}

}  // namespace

// ---- the plot ----------------------------------------------------------

CompareView::CompareView(CompareWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName(QStringLiteral("comparePlot"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 240);
}

ComparePlot CompareView::currentPlot() const {
    const CompareScene scene = window_.scene();
    return LayOutScene(scene, CompareFrameIn(QRectF(rect()), std::clamp(std::min(width(), height()) / 55.0, 9.0, 15.0),
                                             scene.overview));
}

void CompareView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    plot_ = PaintComparison(painter, window_.scene(), QRectF(rect()));
    if (drag_ == Drag::None) return;
    // The rubber band of a drag.
    const QRectF box(QPointF(plot_.left, plot_.top), QPointF(plot_.right, plot_.bottom));
    QRectF band;
    if (drag_ == Drag::Counts) {
        band = QRectF(QPointF(box.left(), dragFrom_.y()), QPointF(box.right(), dragTo_.y())).normalized();
    } else {
        band = QRectF(QPointF(dragFrom_.x(), box.top()), QPointF(dragTo_.x(), box.bottom())).normalized();
    }
    const QColor colour = drag_ == Drag::Region ? QColor(230, 160, 0) : QColor(30, 80, 200);
    painter.setPen(QPen(colour, 0, Qt::DashLine));
    painter.setBrush(QColor(colour.red(), colour.green(), colour.blue(), 40));
    painter.drawRect(band.intersected(box));
}

void CompareView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0 || plot_.right <= plot_.left) return;
    const double about = plot_.keVAt(event->position().x());
    window_.viewport().zoomEnergy(std::pow(kWheelStep, notches), about);
    followPointer();
    event->accept();
}

void CompareView::followPointer() {
    const ComparePlot plot = currentPlot();
    const QPoint at = mapFromGlobal(QCursor::pos());
    const bool inside = at.x() >= plot.left && at.x() <= plot.right && at.y() >= plot.top && at.y() <= plot.bottom;
    Q_EMIT cursorMoved(inside && underMouse() ? std::optional<double>(plot.keVAt(at.x())) : std::nullopt);
    update();
}

void CompareView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragFrom_ = dragTo_ = event->position().toPoint();
    if (event->modifiers() & Qt::ControlModifier) {
        drag_ = Drag::Region;
    } else if (event->modifiers() & Qt::ShiftModifier) {
        drag_ = Drag::Counts;
    } else {
        drag_ = Drag::Energy;
    }
}

void CompareView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (at.x() >= plot_.left && at.x() <= plot_.right && at.y() >= plot_.top && at.y() <= plot_.bottom) {
        Q_EMIT cursorMoved(plot_.keVAt(at.x()));
    } else {
        Q_EMIT cursorMoved(std::nullopt);
    }
    if (drag_ != Drag::None) {
        dragTo_ = at.toPoint();
        update();
    }
}

void CompareView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || drag_ == Drag::None) return;
    const Drag drag = drag_;
    drag_ = Drag::None;
    dragTo_ = event->position().toPoint();
    const bool moved = (dragTo_ - dragFrom_).manhattanLength() >= kDragThreshold;
    const double fromKeV = plot_.keVAt(dragFrom_.x());
    const double toKeV = plot_.keVAt(dragTo_.x());
    if (!moved) {
        if (drag == Drag::Energy && dragFrom_.x() >= plot_.left && dragFrom_.x() <= plot_.right) {
            Q_EMIT peakClicked(fromKeV);
        }
    } else if (drag == Drag::Energy) {
        window_.viewport().showEnergy(fromKeV, toKeV);
    } else if (drag == Drag::Counts) {
        window_.viewport().showCounts(plot_.axisAt(dragFrom_.y()), plot_.axisAt(dragTo_.y()));
    } else {
        Q_EMIT regionChosen(fromKeV, toKeV);
    }
    update();
}

void CompareView::keyPressEvent(QKeyEvent* event) {
    CompareViewport& viewport = window_.viewport();
    const ViewWindow& shown = viewport.window();
    const double middle = (shown.fromKeV + shown.toKeV) / 2;
    switch (event->key()) {
        case Qt::Key_Left: viewport.panEnergy(-kKeyPan); break;
        case Qt::Key_Right: viewport.panEnergy(kKeyPan); break;
        case Qt::Key_Up: viewport.panCounts(kKeyPan); break;
        case Qt::Key_Down: viewport.panCounts(-kKeyPan); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: viewport.zoomEnergy(kKeyZoom, middle); break;
        case Qt::Key_Minus: viewport.zoomEnergy(1 / kKeyZoom, middle); break;
        case Qt::Key_Home: viewport.reset(); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
    followPointer();
}

void CompareView::leaveEvent(QEvent*) { Q_EMIT cursorMoved(std::nullopt); }

// ---- the window --------------------------------------------------------

CompareWindow::CompareWindow(Prompter* prompter, QWidget* parent) : QWidget(parent, Qt::Window), prompter_(prompter) {
    setObjectName(QStringLiteral("compareWindow"));
    setWindowTitle(QStringLiteral("Compare Spectra"));
    buildControls();
    rebuild();
    resize(1200, 760);
    view_->setFocus();  // the plot's keys (arrows, + and -, Home) work at once
}

void CompareWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* tools = new QHBoxLayout;
    layout->addLayout(tools);
    const auto combo = [&](const char* name, const QString& label, QStringList items) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->addItems(items);
        auto* caption = new QLabel(label, this);
        caption->setBuddy(box);
        tools->addWidget(caption);
        tools->addWidget(box);
        return box;
    };
    bandBox_ = combo("band", QStringLiteral("&Spectrum:"), {QStringLiteral("Low energy"), QStringLiteral("High energy")});
    normaliseBox_ = combo("normalisation", QStringLiteral("&Normalise:"),
                          {QStringLiteral("None"), QStringLiteral("To maximum"), QStringLiteral("To area"),
                           QStringLiteral("To measuring time")});
    scaleBox_ = combo("scale", QStringLiteral("S&cale:"),
                      {QStringLiteral("Linear"), QStringLiteral("Log10"), QStringLiteral("Square root")});
    referenceBox_ = combo("reference", QStringLiteral("&Difference to:"), {QStringLiteral("(no difference)")});
    tools->addStretch();
    auto* exportButton = new QToolButton(this);
    exportButton->setObjectName(QStringLiteral("export"));
    exportButton->setText(QStringLiteral("&Export"));
    exportButton->setPopupMode(QToolButton::InstantPopup);
    auto* exportMenu = new QMenu(exportButton);
    exportMenu->addAction(QStringLiteral("Plot as &Picture (PNG, SVG, PDF)..."), this, &CompareWindow::chooseImageExport);
    exportMenu->addAction(QStringLiteral("Spectra as &EMSA Files..."), this, &CompareWindow::chooseEmsaExport);
    exportMenu->addAction(QStringLiteral("Spectra as &CSV..."), this, &CompareWindow::chooseCsvExport);
    exportButton->setMenu(exportMenu);
    tools->addWidget(exportButton);

    connect(bandBox_, &QComboBox::activated, this,
            [this](int index) { setBand(index == 1 ? SpectrumBand::High : SpectrumBand::Low); });
    connect(normaliseBox_, &QComboBox::activated, this,
            [this](int index) { setNormalisation(static_cast<Normalisation>(index)); });
    connect(scaleBox_, &QComboBox::activated, this, [this](int index) { setScale(static_cast<CountScale>(index)); });
    connect(referenceBox_, &QComboBox::activated, this, [this](int index) {
        const QVariant id = referenceBox_->itemData(index);
        setReference(id.isValid() ? std::optional<int>(id.toInt()) : std::nullopt);
    });

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter, 1);
    auto* left = new QWidget(splitter);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    view_ = new CompareView(*this, left);
    leftLayout->addWidget(view_, 1);
    readout_ = new QLabel(left);
    readout_->setObjectName(QStringLiteral("readout"));
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    leftLayout->addWidget(readout_);
    remarks_ = new QLabel(left);
    remarks_->setObjectName(QStringLiteral("remarks"));
    remarks_->setWordWrap(true);
    leftLayout->addWidget(remarks_);
    auto* help = new QLabel(QStringLiteral("Wheel or drag: zoom energy.  Shift+drag: zoom counts.  Ctrl+drag: region.  "
                                           "Click: identify peak.  Arrows pan, + and - zoom, Home shows all."),
                            left);
    help->setStyleSheet(QStringLiteral("color: #555"));
    leftLayout->addWidget(help);

    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(QStringLiteral("Readings (Delete removes):"), side));
    readings_ = new QTreeWidget(side);
    readings_->setObjectName(QStringLiteral("readings"));
    readings_->setHeaderLabels({QStringLiteral("Reading"), QStringLiteral("At cursor"), QStringLiteral("Region sum"),
                                QStringLiteral("Net")});
    readings_->setRootIsDecorated(false);
    readings_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    readings_->header()->setStretchLastSection(false);
    readings_->header()->setSectionResizeMode(kLegendColumn, QHeaderView::Stretch);
    for (int column : {kCursorColumn, kSumColumn, kNetColumn}) {
        readings_->header()->setSectionResizeMode(column, QHeaderView::Fixed);
        readings_->header()->resizeSection(column, 72);
    }
    sideLayout->addWidget(readings_, 3);
    auto* regionRow = new QHBoxLayout;
    regionLabel_ = new QLabel(side);
    regionLabel_->setObjectName(QStringLiteral("region"));
    regionRow->addWidget(regionLabel_, 1);
    auto* remove = new QPushButton(QStringLiteral("&Remove"), side);
    remove->setObjectName(QStringLiteral("remove"));
    auto* copy = new QPushButton(QStringLiteral("C&opy Table"), side);
    copy->setObjectName(QStringLiteral("copyRegion"));
    regionRow->addWidget(remove);
    regionRow->addWidget(copy);
    sideLayout->addLayout(regionRow);
    connect(remove, &QPushButton::clicked, this, [this] {
        std::vector<int> ids;
        for (QTreeWidgetItem* item : readings_->selectedItems()) ids.push_back(item->data(0, Qt::UserRole).toInt());
        for (int id : ids) removeReading(id);
    });
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(ToQString(regionText())); });

    sideLayout->addWidget(new QLabel(QStringLiteral("Candidates at the click (Enter marks):"), side));
    candidateList_ = new QListWidget(side);
    candidateList_->setObjectName(QStringLiteral("candidates"));
    candidateList_->setWordWrap(true);
    candidateList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sideLayout->addWidget(candidateList_, 2);
    connect(candidateList_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { markElement(item->data(Qt::UserRole).toInt()); });
    auto* markerRow = new QHBoxLayout;
    markerRow->addWidget(new QLabel(QStringLiteral("Marked elements:"), side), 1);
    auto* clear = new QPushButton(QStringLiteral("C&lear Markers"), side);
    clear->setObjectName(QStringLiteral("clearMarkers"));
    markerRow->addWidget(clear);
    sideLayout->addLayout(markerRow);
    markerList_ = new QListWidget(side);
    markerList_->setObjectName(QStringLiteral("markers"));
    markerList_->setWordWrap(true);
    markerList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sideLayout->addWidget(markerList_, 1);
    connect(clear, &QPushButton::clicked, this, &CompareWindow::clearMarkers);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({900, 460});

    connect(view_, &CompareView::cursorMoved, this, [this](std::optional<double> keV) {
        cursorKeV_ = keV;
        refreshReadout();
        view_->update();
    });
    connect(view_, &CompareView::peakClicked, this, &CompareWindow::identifyAt);
    connect(view_, &CompareView::regionChosen, this, &CompareWindow::setRegion);
}

int CompareWindow::addReadings(std::vector<ComparedReading> readings) {
    int added = 0;
    size_t refused = 0;
    for (ComparedReading& reading : readings) {
        if (comparison_.add(std::move(reading))) {
            ++added;
        } else {
            ++refused;
        }
    }
    rebuild();
    if (refused > 0) {
        tell(QStringLiteral("At most %1 readings can be compared; %2 were not added.")
                 .arg(kMaxComparedSpectra)
                 .arg(refused));
    }
    return added;
}

void CompareWindow::removeReading(int id) {
    if (comparison_.remove(id)) rebuild();
}

void CompareWindow::setBand(SpectrumBand band) {
    band_ = band;
    bandBox_->setCurrentIndex(band == SpectrumBand::High ? 1 : 0);
    // A region and the candidates belong to the energies of one band; the
    // marked elements stay, with their lines of the new band.
    candidates_.clear();
    candidateList_->clear();
    region_.reset();
    rebuild();
}

void CompareWindow::setNormalisation(Normalisation normalisation) {
    normalisation_ = normalisation;
    normaliseBox_->setCurrentIndex(static_cast<int>(normalisation));
    rebuild();
}

void CompareWindow::setScale(CountScale scale) {
    scale_ = scale;
    scaleBox_->setCurrentIndex(static_cast<int>(scale));
    rebuild();
}

void CompareWindow::setReference(std::optional<int> id) {
    comparison_.setReference(id);
    rebuild();
}

CompareScene CompareWindow::scene() const {
    CompareScene scene;
    scene.comparison = &comparison_;
    scene.overlay = &viewport_.overlay();
    scene.window = viewport_.window();
    scene.scale = viewport_.scale();
    scene.normalisation = normalisation_;
    scene.markers = markers_;
    scene.region = region_;
    scene.cursorKeV = cursorKeV_;
    return scene;
}

void CompareWindow::rebuild() {
    viewport_.update(BuildOverlay(comparison_, {band_, normalisation_}), scale_);
    if (region_) {
        regionSums_ = SumRegion(viewport_.overlay(), region_->first, region_->second);
    } else {
        regionSums_.clear();
    }
    // The markers follow the plotted range.
    markers_.clear();
    const SpectrumOverlay& overlay = viewport_.overlay();
    for (const XrayLine& line : marked_.lines(XrayLineTable::Instance(), overlay.firstKeV, overlay.lastKeV)) {
        markers_.push_back({ElementSymbol(line.z), line.name, line.keV});
    }
    refreshLists();
    view_->update();
}

void CompareWindow::refreshLists() {
    referenceBox_->clear();
    referenceBox_->addItem(QStringLiteral("(no difference)"));
    readings_->clear();
    for (const SpectrumComparison::Entry& entry : comparison_.entries()) {
        const QString legend = ToQString(LegendText(entry.reading));
        referenceBox_->addItem(Swatch(entry.id), legend, entry.id);
        if (comparison_.reference() == entry.id) referenceBox_->setCurrentIndex(referenceBox_->count() - 1);
        auto* item = new QTreeWidgetItem(readings_, {legend});
        item->setIcon(kLegendColumn, Swatch(entry.id));
        item->setData(0, Qt::UserRole, entry.id);
        item->setToolTip(kLegendColumn, ToQString(LegendText(entry.reading, 99)));
        for (const RegionSum& sum : regionSums_) {
            if (sum.id != entry.id || sum.lastChannel < sum.firstChannel) continue;
            item->setText(kSumColumn, Number(sum.sum));
            item->setText(kNetColumn, Number(sum.net));
        }
    }
    regionLabel_->setText(region_ ? QStringLiteral("Region %1 to %2 keV")
                                        .arg(std::min(region_->first, region_->second), 0, 'f', 2)
                                        .arg(std::max(region_->first, region_->second), 0, 'f', 2)
                                  : QStringLiteral("Ctrl+drag for a region"));
    markerList_->clear();
    for (int z : marked_.elements()) {
        QStringList lines;
        for (const LineMarker& marker : markers_) {
            if (marker.element == ElementSymbol(z)) lines << QStringLiteral("%1 %2").arg(ToQString(marker.line)).arg(marker.keV, 0, 'f', 2);
        }
        auto* item = new QListWidgetItem(QStringLiteral("%1: %2").arg(QString::fromLatin1(ElementSymbol(z)), lines.join(QStringLiteral(", "))),
                                         markerList_);
        item->setData(Qt::UserRole, z);
    }
    remarks_->setText(remarksText());
    remarks_->setVisible(!remarks_->text().isEmpty());
    refreshReadout();
    setWindowTitle(QStringLiteral("Compare Spectra - %1 reading%2")
                       .arg(comparison_.size())
                       .arg(comparison_.size() == 1 ? QString() : QStringLiteral("s")));
}

QString CompareWindow::remarksText() const {
    QStringList lines;
    for (const OverlayRemark& remark : viewport_.overlay().remarks) {
        lines << ToQString(RemarkText(comparison_, band_, remark));
    }
    return lines.join(QLatin1Char('\n'));
}

void CompareWindow::refreshReadout() {
    if (!cursorKeV_) {
        readout_->setText(comparison_.size() == 0 ? QStringLiteral("No readings: use a table's Compare Marked (Ctrl+M) "
                                                                   "or a spectrum window's Compare.")
                                                  : QString());
        for (int i = 0; i < readings_->topLevelItemCount(); ++i) readings_->topLevelItem(i)->setText(kCursorColumn, QString());
        return;
    }
    const std::vector<CursorValue> values = ValuesAt(viewport_.overlay(), *cursorKeV_);
    QString text = QStringLiteral("%1 keV").arg(*cursorKeV_, 0, 'f', 3);
    for (int i = 0; i < readings_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = readings_->topLevelItem(i);
        const int id = item->data(0, Qt::UserRole).toInt();
        const auto found = std::find_if(values.begin(), values.end(), [id](const CursorValue& v) { return v.id == id; });
        const QString value = found != values.end() && found->value ? Number(*found->value) : QString();
        item->setText(kCursorColumn, value);
        const SpectrumComparison::Entry* entry = comparison_.find(id);
        if (!value.isEmpty() && entry != nullptr && i < 8) {
            text += QStringLiteral("   No %1: %2").arg(entry->reading.tableNo).arg(value);
        }
    }
    if (values.size() > 8) text += QStringLiteral("   ... (all in the list)");
    readout_->setText(text);
}

const std::vector<ElementCandidate>& CompareWindow::candidatesFor(double keV) {
    // The other lines that confirm a candidate are those in view.
    const ViewWindow& shown = viewport_.window();
    candidates_ = XrayLineTable::Instance().candidates(keV, shown.fromKeV, shown.toKeV);
    return candidates_;
}

void CompareWindow::identifyAt(double keV) {
    candidatesFor(keV);
    candidateList_->clear();
    for (const ElementCandidate& candidate : candidates_) {
        const QString text = ToQString(CandidateText(candidate));
        auto* item = new QListWidgetItem(text, candidateList_);
        item->setData(Qt::UserRole, candidate.z);
        item->setToolTip(ToQString(CandidateText(candidate, candidate.confirming.size())));
    }
    if (candidates_.empty()) {
        auto* item = new QListWidgetItem(QStringLiteral("No K, L or M line within %1 keV of %2 keV")
                                             .arg(kLineMatchToleranceKeV)
                                             .arg(keV, 0, 'f', 2),
                                         candidateList_);
        item->setFlags(Qt::NoItemFlags);
    } else {
        candidateList_->setCurrentRow(0);
    }
}

void CompareWindow::markElement(int z) {
    if (marked_.add(z)) rebuild();
}

void CompareWindow::clearMarkers() {
    marked_.clear();
    rebuild();
}

void CompareWindow::setRegion(double fromKeV, double toKeV) {
    region_ = {std::min(fromKeV, toKeV), std::max(fromKeV, toKeV)};
    rebuild();
}

void CompareWindow::clearRegion() {
    region_.reset();
    rebuild();
}

std::string CompareWindow::regionText() const {
    if (!region_) return {};
    return RegionTableText(comparison_, regionSums_, region_->first, region_->second);
}

void CompareWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && readings_->hasFocus()) {
        std::vector<int> ids;
        for (QTreeWidgetItem* item : readings_->selectedItems()) ids.push_back(item->data(0, Qt::UserRole).toInt());
        for (int id : ids) removeReading(id);
        return;
    }
    if (event->key() == Qt::Key_Delete && markerList_->hasFocus() && markerList_->currentItem() != nullptr) {
        const int z = markerList_->currentItem()->data(Qt::UserRole).toInt();
        marked_.remove(z);
        rebuild();
        return;
    }
    if (event->key() == Qt::Key_Escape && region_) {
        clearRegion();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- export ------------------------------------------------------------

bool CompareWindow::exportImage(const std::string& path, int width, int height, std::string& error) const {
    CompareScene picture = scene();
    picture.cursorKeV.reset();
    return WriteSceneImage(picture, path, width, height, error);
}

std::vector<std::string> CompareWindow::emsaPaths(const std::string& folder) const {
    return EmsaFolderTargets(comparison_, band_, folder);
}

bool CompareWindow::exportEmsa(const std::string& folder, bool replace, std::string& error) const {
    const std::vector<std::string> paths = emsaPaths(folder);
    if (paths.empty()) {
        error = std::string("No compared reading has a ") + BandText(band_) + " spectrum.";
        return false;
    }
    for (const std::string& path : paths) {
        if (IsSpecialFile(path) || (!replace && FileExists(path))) {
            error = "Cannot write " + path + ": " + (IsSpecialFile(path) ? "it is not a regular file." : "it exists.") +
                    " No file was written.";
            return false;
        }
    }
    std::string failedPath;
    if (WriteEmsaFolder(comparison_, band_, folder, failedPath) != FileStatus::Ok) {
        error = "Cannot write " + failedPath + "; no file was written.";
        return false;
    }
    return true;
}

bool CompareWindow::exportCsv(const std::string& path, std::string& error) const {
    std::vector<std::string> legends;
    for (const OverlayCurve& curve : viewport_.overlay().curves) {
        const SpectrumComparison::Entry* entry = comparison_.find(curve.id);
        legends.push_back(entry != nullptr ? LegendText(entry->reading) : std::string());
    }
    std::vector<StagedFile> files;
    files.emplace_back(path);
    if (WriteSpectrumCsv(viewport_.overlay(), legends, files.front()) != FileStatus::Ok ||
        CommitStagedFiles(files) != FileStatus::Ok) {
        error = "Cannot write " + path + "; the previous file is unchanged.";
        return false;
    }
    return true;
}

void CompareWindow::tell(const QString& text) {
    if (prompter_ != nullptr) {
        prompter_->notice(FromQString(text), "Compare Spectra");
    } else {
        QMessageBox::warning(this, QStringLiteral("Compare Spectra"), text);
    }
}

void CompareWindow::chooseImageExport() {
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Picture Size"));
    auto* form = new QFormLayout(&dialog);
    auto* width = new QSpinBox(&dialog);
    auto* height = new QSpinBox(&dialog);
    width->setRange(50, 20000);
    height->setRange(50, 20000);
    width->setValue(1600);
    height->setValue(1000);
    form->addRow(QStringLiteral("&Width (pixels, PDF points):"), width);
    form->addRow(QStringLiteral("&Height:"), height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Plot"), QString(),
                                                      QStringLiteral("PNG picture (*.png);;SVG drawing (*.svg);;PDF (*.pdf)"));
    if (path.isEmpty()) return;
    std::string error;
    if (!exportImage(PathFromQString(path), width->value(), height->value(), error)) tell(FromUtf8(error));
}

void CompareWindow::chooseEmsaExport() {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Folder for the EMSA Files"));
    if (folder.isEmpty()) return;
    const std::vector<std::string> paths = emsaPaths(PathFromQString(folder));
    const auto existing = std::count_if(paths.begin(), paths.end(), [](const std::string& p) { return FileExists(p); });
    bool replace = false;
    if (existing > 0) {
        const QString question =
            QStringLiteral("%1 of the %2 files exist in the folder. Replace them?").arg(existing).arg(paths.size());
        // Replacing files destroys what they hold: Enter answers No.
        replace = prompter_ != nullptr
                      ? prompter_->askWithDefault(FromQString(question), "Compare Spectra", Buttons::YesNo,
                                                  Icon::Question, Answer::No) == Answer::Yes
                      : QMessageBox::question(this, QStringLiteral("Compare Spectra"), question,
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
        if (!replace) return;
    }
    std::string error;
    if (!exportEmsa(PathFromQString(folder), replace, error)) tell(FromUtf8(error));
}

void CompareWindow::chooseCsvExport() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Spectra as CSV"), QString(),
                                                      QStringLiteral("CSV table (*.csv)"));
    if (path.isEmpty()) return;
    std::string error;
    if (!exportCsv(PathFromQString(path), error)) tell(FromUtf8(error));
}

}  // namespace ravik

#include "ui/archive/find_readings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/platform/text1252.h"
#include "core/readings/field_formatter.h"
#include "ui/common/qt_text.h"

namespace ravik {

namespace {

// The table shows at most this many readings; the status line says when
// more were found.
constexpr long long kShownMost = 5000;

struct FilterField {
    const char* name;
    const char* label;
    const char* hint;
};
constexpr FilterField kFields[] = {
    {"site", "&Site:", "the file's site"},      {"element", "&Element:", "Pb"},
    {"min", "M&in:", "lowest value"},            {"max", "Ma&x:", "highest value"},
    {"from", "F&rom:", "YYYY-MM-DD"},            {"to", "&To:", "YYYY-MM-DD"},
    {"text", "&Words:", "in the annotation fields"}, {"file", "Fi&le:", "part of the file's path"},
};

QColor Colour(const Settings& settings, ColorRole role) {
    const Rgb& rgb = settings.color(role);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

FindReadingsWindow::FindReadingsWindow(const ArchiveTarget& target, const Settings& settings, bool offerAdd,
                                       OpenReading open, std::function<void(bool)> offerAddChanged, QWidget* parent)
    : QWidget(parent, Qt::Window), target_(target), settings_(settings), open_(std::move(open)) {
    setObjectName(QStringLiteral("FINDREADINGS"));
    setWindowTitle(QStringLiteral("Find Readings"));
    auto* filters = new QGridLayout;
    int index = 0;
    for (const FilterField& field : kFields) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(field.name));
        edit->setPlaceholderText(QString::fromLatin1(field.hint));
        auto* label = new QLabel(QString::fromLatin1(field.label));
        label->setBuddy(edit);
        filters->addWidget(label, index / 2, (index % 2) * 2);
        filters->addWidget(edit, index / 2, (index % 2) * 2 + 1);
        connect(edit, &QLineEdit::returnPressed, this, [this] { find(); });
        ++index;
    }
    mode_ = new QComboBox;
    mode_->addItem(QStringLiteral("Any"));
    for (Mode mode : kAllModes) mode_->addItem(QString::fromLatin1(WindowText(mode)));
    class_ = new QComboBox;
    for (const char* name : {"Any", "POS", "NEG", "INC"}) class_->addItem(QString::fromLatin1(name));
    auto* modeLabel = new QLabel(QStringLiteral("&Mode:"));
    modeLabel->setBuddy(mode_);
    auto* classLabel = new QLabel(QStringLiteral("&Class:"));
    classLabel->setBuddy(class_);
    filters->addWidget(modeLabel, 4, 0);
    filters->addWidget(mode_, 4, 1);
    filters->addWidget(classLabel, 4, 2);
    filters->addWidget(class_, 4, 3);
    hidden_ = new QCheckBox(QStringLiteral("Include &hidden readings"));
    filters->addWidget(hidden_, 5, 1);
    auto* offer = new QCheckBox(QStringLiteral("Offer to &add readings files to the archive when saved"));
    offer->setChecked(offerAdd);
    connect(offer, &QCheckBox::toggled, this, [offerAddChanged](bool on) {
        if (offerAddChanged) offerAddChanged(on);
    });
    filters->addWidget(offer, 5, 3);

    results_ = new QTableWidget(0, 7);
    results_->setObjectName(QStringLiteral("results"));
    results_->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Date"), QStringLiteral("Mode"),
                                         QStringLiteral("No"), QStringLiteral("Class"), QStringLiteral("Value"),
                                         QStringLiteral("Fields")});
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setSelectionBehavior(QAbstractItemView::SelectRows);
    results_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    results_->verticalHeader()->hide();
    results_->horizontalHeader()->setStretchLastSection(true);
    results_->setShowGrid(false);
    results_->setWordWrap(false);
    // The program's table colours: its background, normal text, and the
    // marked colour for the chosen row.
    results_->setStyleSheet(QStringLiteral("QTableWidget { background: %1; color: %2; }"
                                           " QTableWidget::item:selected { background: %3; color: black; }")
                                .arg(Colour(settings_, ColorRole::Background).name(),
                                     Colour(settings_, ColorRole::Normal).name(),
                                     Colour(settings_, ColorRole::Marked).name()));
    connect(results_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openRow(row); });
    auto* enter = new QShortcut(QKeySequence(Qt::Key_Return), results_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(enter, &QShortcut::activated, this, [this] { openRow(results_->currentRow()); });

    auto* findButton = new QPushButton(QStringLiteral("&Find"));
    findButton->setDefault(true);
    connect(findButton, &QPushButton::clicked, this, [this] { find(); });
    auto* openButton = new QPushButton(QStringLiteral("&Open Reading"));
    connect(openButton, &QPushButton::clicked, this, [this] { openRow(results_->currentRow()); });
    compareButton_ = new QPushButton(QStringLiteral("Com&pare"));
    compareButton_->setToolTip(QStringLiteral("Send the chosen readings' spectra to the compare window"));
    compareButton_->hide();
    connect(compareButton_, &QPushButton::clicked, this, [this] {
        if (compare_) compare_(chosenReadings());
    });
    auto* closeButton = new QPushButton(QStringLiteral("Close"));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    status_ = new QLabel(QStringLiteral("Archive: ") + PathToQString(target_.location));
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(findButton);
    buttons->addWidget(openButton);
    buttons->addWidget(compareButton_);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(results_, 1);
    layout->addLayout(buttons);
    resize(1000, 620);
}

QLineEdit* FindReadingsWindow::field(const char* name) const {
    return findChild<QLineEdit*>(QString::fromLatin1(name));
}

std::optional<ArchiveFilter> FindReadingsWindow::filterFromFields() {
    ArchiveFilter filter;
    auto text = [this](const char* name) { return field(name)->text().trimmed(); };
    if (!text("site").isEmpty()) filter.site = text("site").toStdString();
    if (mode_->currentIndex() > 0) filter.mode = static_cast<Mode>(mode_->currentIndex() - 1);
    if (class_->currentIndex() > 0) filter.paintClass = class_->currentIndex();
    if (!text("element").isEmpty()) {
        filter.element = text("element").toStdString();
        filter.order = FindOrder::Value;
    }
    for (const char* bound : {"min", "max"}) {
        if (text(bound).isEmpty()) continue;
        bool ok = false;
        const double value = text(bound).toDouble(&ok);
        if (!ok || !filter.element) {
            status_->setText(QStringLiteral("%1 needs an element and a number.").arg(QString::fromLatin1(bound)));
            return std::nullopt;
        }
        (bound[1] == 'i' ? filter.minValue : filter.maxValue) = value;
    }
    for (const char* day : {"from", "to"}) {
        if (text(day).isEmpty()) continue;
        if (!QDate::fromString(text(day), Qt::ISODate).isValid()) {
            status_->setText(QStringLiteral("%1 takes a date as YYYY-MM-DD.").arg(QString::fromLatin1(day)));
            return std::nullopt;
        }
        (day[0] == 'f' ? filter.from : filter.to) = text(day).toStdString();
    }
    for (const QString& word : text("text").split(u' ', Qt::SkipEmptyParts)) filter.words.push_back(word.toStdString());
    if (!text("file").isEmpty()) filter.file = text("file").toStdString();
    filter.includeHidden = hidden_->isChecked();
    return filter;
}

int FindReadingsWindow::find() {
    std::optional<ArchiveFilter> filter = filterFromFields();
    if (!filter) return 0;
    long long total = 0;
    try {
        Archive archive(target_);
        total = CountReadings(archive, *filter, settings_);
        filter->limit = kShownMost;
        found_ = FindReadings(archive, *filter, settings_);
    } catch (const ArchiveError& error) {
        found_.clear();
        results_->setRowCount(0);
        status_->setText(QString::fromUtf8(error.what()));
        return 0;
    }
    results_->setRowCount(static_cast<int>(found_.size()));
    for (size_t row = 0; row < found_.size(); ++row) fillRow(static_cast<int>(row), found_[row]);
    results_->resizeColumnsToContents();
    status_->setText(total > static_cast<long long>(found_.size())
                         ? QStringLiteral("%1 readings found; the first %2 are shown.").arg(total).arg(found_.size())
                         : QStringLiteral("%1 readings found.").arg(total));
    if (!found_.empty()) results_->setCurrentCell(0, 0);
    return static_cast<int>(found_.size());
}

void FindReadingsWindow::fillRow(int row, const FoundReading& reading) {
    QString value;
    if (reading.elementValue) {
        value = QString::number(*reading.elementValue, 'f', 2) + (reading.belowDetection ? QStringLiteral(" <LOD") : QString());
    }
    QString fields = QString::fromUtf8(reading.annotations);
    fields.replace(u'\t', QStringLiteral("  "));
    const QString cells[7] = {PathToQString(reading.path),
                              QString::fromStdString(reading.taken).replace(u'T', u' '),
                              QString::fromLatin1(WindowText(reading.mode)),
                              QString::number(reading.readingNumber),
                              reading.mode == Mode::Paint
                                  ? QString::fromLatin1(kPaintClassTexts[static_cast<size_t>(reading.paintClass) % 6])
                                  : QString(),
                              value,
                              fields.simplified()};
    // As the table windows colour them: a positive Paint reading bold in the
    // Positive colour, a hidden one in the Deleted colour.
    const bool positive = reading.mode == Mode::Paint && reading.paintClass == 1;
    for (int column = 0; column < 7; ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if (reading.hidden) {
            item->setForeground(Colour(settings_, ColorRole::Deleted));
        } else if (positive) {
            item->setForeground(Colour(settings_, ColorRole::Positive));
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        results_->setItem(row, column, item);
    }
}

void FindReadingsWindow::setCompare(CompareReadings compare) {
    compare_ = std::move(compare);
    compareButton_->setVisible(static_cast<bool>(compare_));
}

std::vector<ComparedReading> FindReadingsWindow::chosenReadings() {
    std::vector<FoundReading> chosen;
    for (const QModelIndex& index : results_->selectionModel()->selectedRows()) {
        if (index.row() < static_cast<int>(found_.size())) chosen.push_back(found_[static_cast<size_t>(index.row())]);
    }
    std::vector<ComparedReading> readings;
    std::vector<CollectedReading> records;
    try {
        Archive archive(target_);
        records = CollectRecords(archive, chosen);
    } catch (const ArchiveError& error) {
        status_->setText(QString::fromUtf8(error.what()));
        return readings;
    }
    for (size_t i = 0; i < records.size() && i < chosen.size(); ++i) {
        const std::string& bytes = records[i].record;
        ComparedReading reading =
            ReadingFromRecord(chosen[i].path, chosen[i].mode, chosen[i].readingNumber,
                              Bytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        // The annotations are kept as UTF-8 text, one field after each TAB.
        size_t start = 0;
        while (start <= chosen[i].annotations.size()) {
            const size_t end = std::min(chosen[i].annotations.find('\t', start), chosen[i].annotations.size());
            const std::string field = chosen[i].annotations.substr(start, end - start);
            if (field.find_first_not_of(' ') != std::string::npos) reading.fields.push_back(Utf8ToCp1252(field));
            start = end + 1;
        }
        readings.push_back(std::move(reading));
    }
    return readings;
}

void FindReadingsWindow::openRow(int row) {
    if (row < 0 || row >= static_cast<int>(found_.size()) || !open_) return;
    open_(found_[static_cast<size_t>(row)].path, found_[static_cast<size_t>(row)].readingNumber);
}

}  // namespace ravik

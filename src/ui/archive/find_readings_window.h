#pragma once
// "Find Readings": the readings archive's filters and the readings found,
// in the program's table colours. Double-clicking a found reading (or Enter
// on it, or "Open Reading") asks the frame to open its file at that reading.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/archive/archive.h"
#include "core/views/spectrum_compare.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace ravik {

class FindReadingsWindow : public QWidget {
    Q_OBJECT
public:
    using OpenReading = std::function<void(const std::string& path, int readingNumber)>;

    // target: the archive searched; settings: the classification and the
    // colours in force; offerAdd: the "offer to add saved files" setting.
    FindReadingsWindow(const ArchiveTarget& target, const Settings& settings, bool offerAdd,
                       OpenReading open, std::function<void(bool)> offerAddChanged, QWidget* parent = nullptr);

    // The filters as the fields hold them; nothing, with the reason in the
    // status line, when a number or date cannot be read.
    std::optional<ArchiveFilter> filterFromFields();
    // Runs the search and fills the table. Returns the readings shown.
    int find();
    // Opens the reading of a result row.
    void openRow(int row);
    // With a receiver, a "Compare" button sends the chosen rows' readings
    // (their archived records) to it.
    using CompareReadings = std::function<void(std::vector<ComparedReading>)>;
    void setCompare(CompareReadings compare);
    // The readings of the chosen rows, read out of the archive.
    std::vector<ComparedReading> chosenReadings();

    QTableWidget* results() const { return results_; }
    QLabel* status() const { return status_; }
    QLineEdit* field(const char* name) const;
    QComboBox* modeBox() const { return mode_; }
    QComboBox* classBox() const { return class_; }

private:
    void fillRow(int row, const FoundReading& reading);

    ArchiveTarget target_;
    const Settings& settings_;
    OpenReading open_;
    CompareReadings compare_;
    QPushButton* compareButton_ = nullptr;
    QComboBox* mode_ = nullptr;
    QComboBox* class_ = nullptr;
    QCheckBox* hidden_ = nullptr;
    QTableWidget* results_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<FoundReading> found_;
};

}  // namespace ravik

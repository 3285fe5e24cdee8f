// File, Find Readings...: the window searches the archive, compares and opens found
// readings (opened marked in their file), and saving offers to add the file.

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>

#include "core/archive/archive.h"
#include "ui/archive/find_readings_window.h"
#include "ui/views/compare_window.h"
#include "ui_support.h"

namespace ravik::test {

class FindReadingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsOpensMarksAndOffersToAdd() {
        FrameUnderTest f;
        const std::string oak = WriteReadingsFile(f.dir, "oak.qvr", {12, 4, 0, 0, 0}, false, "Oak Flats");
        Archive archive(ResolveArchiveTarget("", DataDirectory()));
        AddToArchive(archive, {WriteReadingsFile(f.dir, "maple.qvr", {9, 3, 0, 0, 0}), oak});

        f.frame->handleCommand(command::kFindReadings);
        auto* window = f.frame->findChild<FindReadingsWindow*>();
        QVERIFY(window != nullptr && window->isVisible());
        window->field("site")->setText(QStringLiteral("oak flats"));
        window->modeBox()->setCurrentIndex(1 + Index(Mode::Paint));
        QCOMPARE(window->find(), 12);
        QCOMPARE(window->results()->rowCount(), 12);
        // Compare sends the chosen rows' archived spectra to the compare window.
        window->results()->selectRow(0);
        window->results()->selectionModel()->select(window->results()->model()->index(1, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("Com&pare")) button->click();
        }
        QVERIFY(f.frame->compareWindow() != nullptr);
        QCOMPARE(f.frame->compareWindow()->comparison().size(), size_t{2});

        const int number = window->results()->item(5, 3)->text().toInt();
        window->openRow(5);
        QCOMPARE(f.program.shell.currentFileName, oak);
        QCOMPARE(f.program.store.flags(number), static_cast<uint32_t>(Marked));

        window->findChild<QCheckBox*>()->setChecked(false);  // the hidden readings box
        auto* offer = window->findChildren<QCheckBox*>().at(1);
        offer->setChecked(true);
        f.prompter.queueAnswer(Answer::Yes);
        f.program.shell.unsavedChanges = true;
        f.frame->handleCommand(command::kSave);
        QVERIFY(!f.prompter.boxes().empty());
        QVERIFY(f.prompter.boxes().back().text.find("Add this readings file") != std::string::npos);
        const auto files = ListArchivedFiles(archive);
        const auto saved = std::find_if(files.begin(), files.end(), [&](auto& file) { return file.path == oak; });
        QVERIFY(saved != files.end());
        QCOMPARE(saved->hash, ContentHash(ReadAll(oak)));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::FindReadingsTest)
#include "find_readings_test.moc"

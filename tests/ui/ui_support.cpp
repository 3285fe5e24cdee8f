#include "ui_support.h"

namespace ravik::test {

std::string WriteReadingsFile(const TempDir& directory, const std::string& name, ModeCounts counts,
                              bool locked, const std::string& site) {
    sample::SampleOptions options;
    options.counts = counts;
    options.locked = locked;
    options.site = site;
    options.compactSpectra = true;
    const std::vector<uint8_t> bytes = sample::MakeReadingsFile(options);
    const std::string path = directory.file(name);
    WriteAll(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

ScratchHome::ScratchHome() : previous_(qgetenv("RAVIK_HOME")) {
    qputenv("RAVIK_HOME", QByteArray::fromStdString(directory_.path()));
}

ScratchHome::~ScratchHome() { qputenv("RAVIK_HOME", previous_); }

ComPort::ComPort(int n, const std::string& device) : name_("RAVIK_COM" + QByteArray::number(n)) {
    qputenv(name_.constData(), QByteArray::fromStdString(device));
}

FrameUnderTest::FrameUnderTest() : frame(std::make_unique<FrameWindow>(program, prompter, chooser)) {
    frame->resize(1000, 700);
    frame->show();
    QCoreApplication::processEvents();
}

FrameUnderTest::~FrameUnderTest() = default;

void FrameUnderTest::open(const std::string& path) {
    frame->openFile(path);
    QCoreApplication::processEvents();
}

std::string FrameUnderTest::openReadings(const std::string& name, ModeCounts counts, bool locked,
                                         const std::string& site) {
    const std::string path = WriteReadingsFile(dir, name, counts, locked, site);
    open(path);
    return path;
}

bool FrameUnderTest::activate() {
    frame->activateWindow();
    return QTest::qWaitForWindowActive(frame.get());
}

PaintTable::PaintTable(int readings, bool locked, int width) {
    openReadings(locked ? "paint.lck" : "paint.qvr", {readings, 0, 0, 0, 0}, locked);
    window = frame->tableWindow(Mode::Paint);
    window->setGeometry(0, 0, width, 420);
    view = window->view();
    QCoreApplication::processEvents();
}

QPoint PaintTable::rowPoint(int row) const { return RowPoint(*view, row); }

void PaintTable::click(int row, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rowPoint(row));
}

QPoint RowPoint(const TableView& view, int row) {
    return {40, (row - view.topRow()) * view.rowHeight() + view.rowHeight() / 2};
}

bool OpensADialog(const std::function<void()>& act) {
    bool opened = false;
    WhenModalOpens<QDialog>([&opened](QDialog& dialog) {
        opened = true;
        dialog.done(QDialog::Rejected);
    });
    act();
    QCoreApplication::processEvents();
    return opened;
}

}  // namespace ravik::test

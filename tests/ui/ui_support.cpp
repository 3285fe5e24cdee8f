#include "ui_support.h"

#include <QCoreApplication>

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

}  // namespace ravik::test

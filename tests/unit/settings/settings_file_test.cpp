#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "core/platform/file_io.h"
#include "core/settings/settings_file.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::ReadAll;
using test::ScriptedPrompter;
using test::TempDir;
using test::WriteAll;
using Strings = std::vector<std::string>;

const std::string kDefaultFile =
    "xSpect:2, ySpect:2, currentPort:0, orient:1, pcs:1081, download:119, DisplayFontSize:6, Baud:0, Export:0\n"
    "default\n"
    "neg:0.000000,   inc:0.000000,  pos:1.000000, enabledColumns[0]:-1, enabledColumns[1,2]:-1,-1, "
    "enabledColumns[3,4]:-1,-1, enabledColumns[5,6]:-1,-1, enabledColumns[7,8]:-1,-1\n"
    "spectrumYscale:0, minLtime:20, minLtime:120\n"
    "Colors:255,255,255,255,255,255,0,255,0,64,64,172,0,0,255,\n";
const std::string kRequired = "xSpect:2, ySpect:2, currentPort:0, orient:1, pcs:1081\n";

// Every value the file holds, none of them a default.
const std::string kCustomisedFile =
    "xSpect:3, ySpect:4, currentPort:2, orient:2, pcs:1082, download:118, DisplayFontSize:7, Baud:4, Export:3\n"
    "0,winspool,9,HP LaserJet,22,LPT1:\n"
    "neg:0.700000,   inc:0.850000,  pos:1.250000, enabledColumns[0]:1, enabledColumns[1,2]:2,3, "
    "enabledColumns[3,4]:4,5, enabledColumns[5,6]:6,7, enabledColumns[7,8]:8,-2147483648\n"
    "spectrumYscale:2, minLtime:15, minLtime:90\n"
    "Colors:1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,\n"
    "Orvex Survey Co.\r\nInspector: J. Smith\r\n";

Settings Parsed(const std::string& text) {
    Settings read;
    EXPECT_TRUE(ParseSettingsFileText(text, read)) << text;
    return read;
}

// The customised settings; the round trip checks their values one by one.
Settings Customised() { return Parsed(kCustomisedFile); }

TEST(SettingsFile, CustomisedSettingsRoundTripWithLfOrCrLfLines) {
    const Settings read = Customised();
    EXPECT_EQ((std::vector<int>{read.xSpect, read.ySpect, read.currentPort, read.orient, read.pcs, read.download,
                                read.displayFontSize, read.baud, read.exportForm, read.spectrumYscale, read.minLtime,
                                read.minKtime}),
              (std::vector<int>{3, 4, 2, 2, kPcsUser, kDownloadDone, 7, 4, 3, kScaleLog, 15, 90}));
    EXPECT_EQ(read.enabledColumns, (std::array<int32_t, 9>{1, 2, 3, 4, 5, 6, 7, 8, INT32_MIN}));
    EXPECT_EQ((std::vector<float>{read.neg, read.inc, read.pos}), (std::vector<float>{0.7f, 0.85f, 1.25f}));
    EXPECT_EQ(read.colors[4], (Rgb{13, 14, 15}));
    EXPECT_EQ(read.printerLine, "0,winspool,9,HP LaserJet,22,LPT1:");
    EXPECT_EQ(read.reportHeader, "Orvex Survey Co.\r\nInspector: J. Smith\r\n");
    EXPECT_EQ(SettingsFileText(read), kCustomisedFile);
    const std::string lines = kCustomisedFile.substr(0, kCustomisedFile.find("Orvex"));
    std::string crlf;
    for (char c : lines) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(SettingsFileText(Parsed(crlf)), lines);
}

TEST(SettingsFile, TheFiveRequiredKeysAloneGiveEveryOtherDefault) {
    Settings read = Customised();
    const std::string required = "xSpect:1, ySpect:5, currentPort:1, orient:2, pcs:1082";
    ASSERT_TRUE(ParseSettingsFileText(required + "\n", read));
    EXPECT_EQ(SettingsFileText(read), required + kDefaultFile.substr(kDefaultFile.find(", download")));
}

TEST(SettingsFile, EachMissingRequiredKeyIsRefusedAndChangesNothing) {
    for (const char* line : {"", "xSpect:2\n", "xSpect:2, ySpect:2, currentPort:0\n",
                             "xSpect:2, ySpect:2, currentPort:0, orient:1\n",
                             "xSpect:2, ySpect:2, currentPort:0, orient:1, pcs:\n",
                             "xSpect:2, ySpect:2, currentPort:x, orient:1, pcs:1081\n"}) {
        Settings read = Customised();
        EXPECT_FALSE(ParseSettingsFileText(std::string(line) + "default\n", read)) << line;
        EXPECT_EQ(SettingsFileText(read), SettingsFileText(Customised())) << line;
    }
}

TEST(SettingsFile, IndexValuesOutsideTheirListsFallBack) {
    const std::pair<const char*, std::vector<int>> cases[] = {
        // font, baud, export, port, xSpect, ySpect, download
        {"xSpect:2, ySpect:2, currentPort:0, orient:1, pcs:1081, download:118, DisplayFontSize:9, Baud:3, Export:2", {6, 3, 2, 0, 2, 2, 118}},
        {"xSpect:2, ySpect:2, currentPort:3, orient:1, pcs:1081, download:119, DisplayFontSize:8, Baud:5, Export:4", {6, 0, 0, 3, 2, 2, 119}},
        {"xSpect:0, ySpect:11, currentPort:4, orient:1, pcs:1081, download:7, DisplayFontSize:-1, Baud:-1, Export:-1", {6, 0, 0, 0, 1, 10, 119}},
        {"xSpect:10, ySpect:1, currentPort:-1, orient:1, pcs:1081, download:118, DisplayFontSize:0, Baud:0, Export:1", {0, 0, 1, 0, 10, 1, 118}},
    };
    for (const auto& [line, expected] : cases) {
        const Settings r = Parsed(std::string(line) + "\n");
        EXPECT_EQ((std::vector<int>{r.displayFontSize, r.baud, r.exportForm, r.currentPort, r.xSpect, r.ySpect, r.download}),
                  expected) << line;
    }
}

TEST(SettingsFile, OptionalValuesOfLinesThreeAndFour) {
    const Settings read = Parsed(kRequired + "default\n"
                                 "neg:0.5,   inc:x,  pos:2.5, enabledColumns[0]:4294967295, enabledColumns[1,2]:7,4294967294\n"
                                 "spectrumYscale:1\n");
    EXPECT_EQ(read.neg, 0.5f);
    EXPECT_EQ(read.inc, 0.0f);  // unreadable: its default
    EXPECT_EQ(read.pos, 2.5f);
    // Written unsigned, 2^32 - 1 and 2^32 - 2: the same bits as -1 and -2.
    EXPECT_EQ(read.enabledColumns, (std::array<int32_t, 9>{-1, 7, -2, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(read.minLtime, 20);  // both minimum times are missing
    EXPECT_EQ(read.minKtime, 120);
    const std::pair<const char*, int> scales[] = {
        {"0", kScaleSqrt}, {"1", kScaleLinear}, {"2", kScaleLog}, {"7", kScaleSqrt}, {"-1", kScaleSqrt}};
    for (const auto& [stored, scale] : scales) {
        const Settings r = Parsed(kRequired + "default\n\nspectrumYscale:" + stored + ", minLtime:5, minLtime:6\n");
        EXPECT_EQ(r.spectrumYscale, scale) << stored;
        EXPECT_EQ(r.minKtime, 6);
    }
    Settings other;
    other.spectrumYscale = 1234;
    EXPECT_NE(SettingsFileText(other).find("spectrumYscale:0, "), std::string::npos);
}

TEST(SettingsFile, ColorsAndTheHeaderText) {
    const std::string lines1to4 = kRequired + "default\nneg:0.0\nspectrumYscale:0\n";
    struct Case {
        std::string rest;
        std::array<Rgb, kColorCount> colors;
        std::string header;
    };
    const Case cases[] = {
        // Without a "Colors:" line the fifth line is the first header line.
        {"Acme Lead Testing\r\nSecond line\n", kDefaultColors, "Acme Lead Testing\r\nSecond line\n"},
        // A partial colour list keeps the defaults of what it lacks; an
        // unreadable or out-of-range number keeps its default too.
        {"Colors:1,2,,300,5\nTitle\n",
         {Rgb{1, 2, 255}, Rgb{255, 5, 255}, Rgb{0, 255, 0}, Rgb{64, 64, 172}, Rgb{0, 0, 255}},
         "Title\n"},
        // The header ends at its first line holding only LF; a CR LF line does not end it.
        {"Colors:0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\nOne\r\n\r\nTwo\n\nThree\n", {}, "One\r\n\r\nTwo\n"},
        // The last line may lack its line end.
        {"Colors:\nLast", kDefaultColors, "Last"},
    };
    for (const Case& c : cases) {
        Settings read = Customised();
        ASSERT_TRUE(ParseSettingsFileText(lines1to4 + c.rest, read)) << c.rest;
        EXPECT_EQ(read.colors, c.colors) << c.rest;
        EXPECT_EQ(read.reportHeader, c.header) << c.rest;
    }
}

TEST(SettingsFile, LinesThatWouldEndTheHeaderOrThePrinterLineAreNotWritten) {
    Settings settings;
    settings.reportHeader = "First\n\nSecond\r\n\nThird";
    settings.printerLine = "0,drv,4,dev\r\nx";
    const std::string text = SettingsFileText(settings);
    EXPECT_EQ(text.substr(text.find("Colors:")), "Colors:255,255,255,255,255,255,0,255,0,64,64,172,0,0,255,\n"
                                                 "First\nSecond\r\nThird");
    const Settings read = Parsed(text);
    EXPECT_EQ(read.reportHeader, "First\nSecond\r\nThird");
    EXPECT_EQ(read.printerLine, "0,drv,4,dev");
    EXPECT_EQ(read.pos, 1.0f);
}

// A missing file is created with the defaults; failing to write is told.
TEST(ReadSettings, AMissingFileIsCreatedWithTheDefaults) {
    TempDir dir;
    const std::string home = dir.file("config/ravik");
    ScriptedPrompter prompter;
    Settings settings = Customised();
    ASSERT_TRUE(ReadSettings(home, settings, prompter));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(ReadAll(home + "/ravik56.ini"), kDefaultFile);
    EXPECT_EQ(SettingsFileText(settings), kDefaultFile);
    EXPECT_FALSE(FileExists(home + "/ports.ini"));
    // Where none can be created the program still starts; a failed write
    // leaves what stands in the file's place.
    WriteAll(dir.file("plain"), "a file where the directory should be");
    EXPECT_TRUE(ReadSettings(dir.file("plain"), settings, prompter));
    std::filesystem::create_directory(dir.file("ravik56.ini"));
    EXPECT_FALSE(WriteSettings(dir.path(), Settings{}, prompter));
    EXPECT_EQ(prompter.shown(), Strings(2, "SAVE ERROR: Opening Ini file"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("ravik56.ini")));
}

TEST(ReadSettings, UnreadableAndDamagedFilesAreToldAndKeepTheSettings) {
    TempDir unreadable;
    TempDir damaged;
    TempDir huge;
    std::filesystem::create_directory(unreadable.file("ravik56.ini"));
    WriteAll(damaged.file("ravik56.ini"), "xSpect:2, ySpect:2\n");
    WriteAll(damaged.file("alloy.spc"), "316,S31600,Cr=16-18,\n");
    WriteAll(huge.file("ravik56.ini"), "");
    std::filesystem::resize_file(huge.file("ravik56.ini"), kSmallFileLimit + 1);
    ScriptedPrompter prompter;
    Settings settings = Customised();
    EXPECT_FALSE(ReadSettings(unreadable.path(), settings, prompter));
    EXPECT_EQ(prompter.boxes()[0].icon, Icon::Stop);
    EXPECT_FALSE(ReadSettings(damaged.path(), settings, prompter));
    EXPECT_FALSE(ReadSettings(huge.path(), settings, prompter));
    EXPECT_EQ(prompter.shown(), (Strings{"READ ERROR: Not a Regular File\n" + unreadable.file("ravik56.ini"),
                                         "Ravik.ini Error: Error in Ravik.ini File\nContact Technical Support",
                                         "READ ERROR: File Too Large\n" + huge.file("ravik56.ini")}));
    EXPECT_EQ(SettingsFileText(settings), SettingsFileText(Customised()));
    EXPECT_EQ(settings.alloySpecs.count, 0);
    EXPECT_EQ(ReadAll(damaged.file("ravik56.ini")), "xSpect:2, ySpect:2\n");
}

TEST(ReadSettings, WriteThenReadKeepsEveryByteAndReadsThePortsAndGradesBeside) {
    TempDir dir;
    ScriptedPrompter prompter;
    Settings written = Customised();
    written.portPaths = {"", "/dev/ttyUSB3", "", "/dev/pts/7"};
    ASSERT_TRUE(WriteSettings(dir.path(), written, prompter));
    EXPECT_EQ(ReadAll(dir.file("ravik56.ini")), SettingsFileText(written));
    EXPECT_EQ(ReadAll(dir.file("ports.ini")), "COM2=/dev/ttyUSB3\nCOM4=/dev/pts/7\n");
    WriteAll(dir.file("alloy.spc"), "C36000, Brass, Cu=60-63, Pb=2.5-3.7, Zn=33-38\n");

    Settings read;
    ASSERT_TRUE(ReadSettings(dir.path(), read, prompter));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(SettingsFileText(read), SettingsFileText(written));
    EXPECT_EQ(read.portPaths, written.portPaths);
    ASSERT_EQ(read.alloySpecs.count, 1);
    EXPECT_EQ(read.alloySpecs.records[0].ranges[1].minimum, 2.5f);

    // Clearing the paths clears the file; without a file none is made.
    read.portPaths = {};
    ASSERT_TRUE(WriteSettings(dir.path(), read, prompter));
    EXPECT_EQ(ReadAll(dir.file("ports.ini")), "");
    TempDir other;
    ASSERT_TRUE(WriteSettings(other.path(), read, prompter));
    EXPECT_FALSE(FileExists(other.file("ports.ini")));

    // FIFOs (or devices) beside the settings are told and read as missing.
    for (const char* name : {"ports.ini", "alloy.spc"}) {
        std::filesystem::remove(dir.file(name));
        ASSERT_EQ(::mkfifo(dir.file(name).c_str(), 0644), 0);
    }
    Settings again;
    EXPECT_TRUE(ReadSettings(dir.path(), again, prompter));
    EXPECT_EQ(prompter.shown(), (Strings{"READ ERROR: Not a Regular File\n" + dir.file("ports.ini"),
                                         "READ ERROR: Not a Regular File\n" + dir.file("alloy.spc")}));
    EXPECT_EQ(SettingsFileText(again), SettingsFileText(written));
}

TEST(PortPaths, OnlyWellFormedLinesCount) {
    const PortPaths paths = ParsePortPaths("COM1=/dev/ttyS0\r\nCOM5=/dev/x\ncom2=/dev/y\nCOM3/dev/z\nCOM4=\n# note\nCOM3=/dev/ttyACM0");
    EXPECT_EQ(paths, (PortPaths{"/dev/ttyS0", "", "/dev/ttyACM0", ""}));
}

// A grade as "name/second:" and the ranges read.
std::string Grade(const AlloySpecRecord& record) {
    std::ostringstream out;
    out << record.name << "/" << record.secondName << ":";
    for (int i = 0; i < record.rangeCount; ++i) {
        const AlloySpecRange& range = record.ranges[static_cast<size_t>(i)];
        out << " " << range.element << " " << range.minimum << "-" << range.maximum;
    }
    return out.str();
}

TEST(AlloySpecTable, ReadsNamesAndRanges) {
    const AlloySpecTable table = ParseAlloySpecTable(
        "316SS,   S31600, Cr=16-18.5, Ni=10-14,Mo=2-3\r\n"
        "\n"
        "VeryLongGradeName,  SecondLongName,  Mn =0.5-1.25,\n"
        "BARE\n");
    ASSERT_EQ(table.count, 3);
    EXPECT_EQ(Grade(table.records[0]), "316SS/S31600: Cr 16-18.5 Ni 10-14 Mo 2-3");
    EXPECT_EQ(Grade(table.records[1]), "VeryLongGr/SecondLong: Mn 0.5-1.25");
    EXPECT_EQ(Grade(table.records[2]), "BARE/:");
    // What is not read keeps no name and the range 0 to 100.
    const AlloySpecRange& unread = table.records[0].ranges[3];
    EXPECT_EQ(Grade(table.records[3]) + unread.element, "/:");
    EXPECT_EQ(unread.minimum, 0.0f);
    EXPECT_EQ(unread.maximum, 100.0f);
}

TEST(AlloySpecTable, HoldsTwentyGradesOfFourteenRanges) {
    std::string text;
    for (int grade = 0; grade < 25; ++grade) {
        text += "G" + std::to_string(grade) + ",S" + std::to_string(grade);
        for (int range = 0; range < 16; ++range) text += ",E" + std::to_string(range % 10) + "=" + std::to_string(range) + "-99";
        text += "\n";
    }
    const AlloySpecTable table = ParseAlloySpecTable(text);
    EXPECT_EQ(table.count, 20);
    EXPECT_EQ(table.records[19].name, "G19");
    EXPECT_EQ(table.records[19].rangeCount, 14);
    EXPECT_EQ(table.records[19].ranges[13].element, "E3");
    EXPECT_EQ(table.records[19].ranges[13].minimum, 13.0f);
}

}  // namespace
}  // namespace ravik

#pragma once
// What the simulated analyzer is told on its command line.

#include <cstdint>
#include <string>

namespace ravik::sim {

struct SimOptions {
    std::string linkPath;        // --link: a symbolic link to the device
    int baudIndex = 0;           // --baud: the analyzer's rate, 0 (9.6K) .. 4 (115.2K)
    std::string dumpFile;        // --dump: a readings file to send as a Fast Data Dump
    int sampleReadings = 0;      // --readings: a generated file of this many readings instead
    uint32_t seed = 1;           // --seed: of the generated file and of junk bytes
    bool compactSpectra = false; // --compact: the generated file's shortest spectra
    int dumpDelayMillis = 200;   // --dump-delay: after the program opened the line
    bool paced = false;          // --paced: send no faster than the line's rate
    bool honourXoff = true;      // --ignore-xoff clears it
    long cutAfter = -1;          // --cut-after: the dump stops after this many bytes
    long junkEvery = 0;          // --junk-every: one junk byte after every N bytes sent
    long silentAfter = -1;       // --silent-after: no answers after this many replies
    bool portrait = false;       // --portrait: the screen stands upright
    bool libraryScreen = false;  // --library-screen: the custom library screen is shown
    std::string libraryReport;   // --library-report: where a received library is written
};

}  // namespace ravik::sim

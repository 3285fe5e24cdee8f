#include "make-sample/sample_library.h"

#include <initializer_list>
#include <utility>

namespace ravik::sample {

namespace {

// Limit slots of the elements the demo grades use.
enum Slot { Ti = 0, V = 1, Cr = 2, Mn = 3, Fe = 4, Co = 5, Ni = 6, Cu = 7, Zn = 8, W = 9,
            Pb = 10, Nb = 13, Mo = 14, Al = 15, Sn = 18 };

struct Limit {
    Slot slot;
    LimitPair pair;  // hundredths of a percent
};

struct Grade {
    int group;
    const char* name;
    std::initializer_list<Limit> limits;
};

// In library order: group by group.
const Grade kGrades[] = {
    {0, "SS 304", {{Cr, {1800, 2000}}, {Mn, {0, 200}}, {Fe, {6600, 7400}}, {Ni, {800, 1050}}}},
    {0, "SS 316", {{Cr, {1600, 1800}}, {Mn, {0, 200}}, {Fe, {6100, 7200}}, {Ni, {1000, 1400}}, {Mo, {200, 300}}}},
    {0, "SS 410", {{Cr, {1150, 1350}}, {Mn, {0, 100}}, {Fe, {8400, 8850}}, {Ni, {0, 75}}}},
    {0, "CS 1018", {{Mn, {60, 90}}, {Fe, {9800, 9950}}}},
    {2, "C110 Cu", {{Cu, {9990, 10000}}}},
    {2, "C260 Brass", {{Fe, {0, 5}}, {Cu, {6850, 7150}}, {Zn, {2850, 3150}}, {Pb, {0, 7}}}},
    {2, "C360 Brass", {{Fe, {0, 35}}, {Cu, {6000, 6300}}, {Zn, {3250, 3700}}, {Pb, {250, 370}}}},
    {2, "C510 Bronze", {{Fe, {0, 10}}, {Cu, {9300, 9550}}, {Zn, {0, 30}}, {Sn, {420, 580}}}},
    {3, "CoCr 6", {{Cr, {2700, 3200}}, {Co, {5500, 6500}}, {Ni, {0, 300}}, {W, {400, 600}}}},
    {4, "Ni 200", {{Fe, {0, 40}}, {Ni, {9900, 10000}}, {Cu, {0, 25}}}},
    {4, "Ni 625", {{Cr, {2000, 2300}}, {Fe, {0, 500}}, {Ni, {5800, 6400}}, {Nb, {315, 415}}, {Mo, {800, 1000}}}},
    {5, "Ti Gr2", {{Ti, {9900, 10000}}, {Fe, {0, 30}}}},
    {5, "Ti 6Al-4V", {{Ti, {8800, 9100}}, {V, {350, 450}}, {Fe, {0, 30}}, {Al, {550, 675}}}},
    {6, "Zn", {{Zn, {9900, 10000}}}},
    {6, "Pb", {{Pb, {9900, 10000}}}},
};

}  // namespace

AlloyLibrary DemoLibrary() {
    AlloyLibrary library;
    int group = 0;
    for (const Grade& grade : kGrades) {
        while (group <= grade.group) library.searchIndex[static_cast<size_t>(group++)] = static_cast<int>(library.alloys.size());
        AlloyRecord alloy;
        alloy.name = grade.name;
        for (const Limit& limit : grade.limits) alloy.limits[static_cast<size_t>(limit.slot)] = limit.pair;
        library.alloys.push_back(std::move(alloy));
    }
    while (group < kSearchIndexCount) library.searchIndex[static_cast<size_t>(group++)] = static_cast<int>(library.alloys.size());
    return library;
}

}  // namespace ravik::sample

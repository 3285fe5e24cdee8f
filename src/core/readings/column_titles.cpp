#include "core/readings/column_titles.h"

#include <initializer_list>
#include <cstdio>

namespace ravik {

namespace {

void SetTitles(ModeTitles& titles, std::initializer_list<const char*> fixed) {
    int slot = 0;
    for (const char* text : fixed) titles[static_cast<size_t>(slot++)] = Title(text);
}

// "#first ± Prec" ... "#last ± Prec" from slot on; the element numbers of the
// Alloy and Sign sets spell the seventh one "#7± Prec".
void SetFreeElementTitles(ModeTitles& titles, int slot, int first, int last, bool alloySpelling) {
    for (int k = first; k <= last; ++k) {
        char text[kTitleSize];
        std::snprintf(text, sizeof text, alloySpelling && k == 7 ? "#%d\xB1 Prec" : "#%d \xB1 Prec", k);
        titles[static_cast<size_t>(slot++)] = Title(text);
    }
}

void SetMatchTitles(ModeTitles& titles) {
    titles[16] = Title("#M1 \xB1 Prec");
    titles[17] = Title("#M2 \xB1 Prec");
    titles[18] = Title("#M3 \xB1 Prec");
    SetFreeElementTitles(titles, 19, 1, 29, true);
}

void SetPaintTitles(ModeTitles& titles) {
    SetTitles(titles, {"No", "QVNo", "Site", "Inspector", "Floor", "Side", "Room", "Struc", "Sub",
                       "Feat", "Cnd", "Color", "Note", "Ssec", "Date/Time", "Cycle", "DI",
                       "Result", "Pbl \xB1 Prec", "Pbk \xB1 Prec", "Pbc \xB1 Prec", "#1 \xB1 Prec"});
}

void SetBulkTitles(ModeTitles& titles) {
    SetTitles(titles, {"No", "QVNo", "Site", "Insp", "Elv", "Cor1", "Side", "Cor2", "Type", "Cnd",
                       "Sub", "Clr", "Ssec", "Date/Time", "Note", "Cycle"});
    SetFreeElementTitles(titles, 16, 1, 32, false);
}

ColumnTitles BuildStartupColumnTitles() {
    ColumnTitles titles;
    SetPaintTitles(titles[Mode::Paint]);
    SetBulkTitles(titles[Mode::Bulk]);
    SetBulkTitles(titles[Mode::Thin]);
    SetTitles(titles[Mode::Alloy], {"No", "QVNo", "1st", "2nd", "3rd", "Name", "UNS", "F1", "F2",
                                    "F3", "F4", "F5", "Ssec", "Date/Time", "Note", "Cycle"});
    SetMatchTitles(titles[Mode::Alloy]);
    SetTitles(titles[Mode::Sign], {"No", "QVNo", "Name", "UNS", "Name", "UNS", "F1", "F2", "F3",
                                   "F4", "F5", "F6", "Ssec", "Date/Time", "Note", "Cycle"});
    SetMatchTitles(titles[Mode::Sign]);
    return titles;
}

}  // namespace

ColumnTitles StartupColumnTitles() {
    // Every new store starts with these: built once, copied after.
    static const ColumnTitles startup = BuildStartupColumnTitles();
    return startup;
}

ColumnTitles ReleasedColumnTitles() {
    ColumnTitles titles;
    SetPaintTitles(titles[Mode::Paint]);
    SetBulkTitles(titles[Mode::Bulk]);
    SetBulkTitles(titles[Mode::Thin]);
    for (Mode mode : {Mode::Alloy, Mode::Sign}) {
        SetTitles(titles[mode], {"No", "QVNo", "1st", "2nd", "3rd", "Name", "UNS", "F1", "F2", "F4",
                                 "F3", "F5", "F6", "Ssec", "Date/Time", "Cycle"});
        SetMatchTitles(titles[mode]);
    }
    return titles;
}

}  // namespace ravik

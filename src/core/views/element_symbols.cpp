// Element symbols and their parsing. Kept apart from the line table, so a
// program that only reads element names (ravik spectrum --lines) does not
// load the X-ray line library.

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/views/element_lines.h"

namespace ravik {

namespace {

constexpr const char* kSymbols[kLastElement + 1] = {
    "",   "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si", "P",  "S",
    "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "Ga", "Ge", "As",
    "Se", "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru", "Rh", "Pd", "Ag", "Cd", "In", "Sn",
    "Sb", "Te", "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd", "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho",
    "Er", "Tm", "Yb", "Lu", "Hf", "Ta", "W",  "Re", "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po",
    "At", "Rn", "Fr", "Ra", "Ac", "Th", "Pa", "U",  "Np", "Pu", "Am", "Cm", "Bk", "Cf",
};

}  // namespace

const char* ElementSymbol(int z) { return z >= 1 && z <= kLastElement ? kSymbols[z] : ""; }

std::optional<int> ElementNamed(std::string_view symbol) {
    while (!symbol.empty() && std::isspace(static_cast<unsigned char>(symbol.front()))) symbol.remove_prefix(1);
    while (!symbol.empty() && std::isspace(static_cast<unsigned char>(symbol.back()))) symbol.remove_suffix(1);
    if (symbol.empty() || symbol.size() > 2) return std::nullopt;
    for (int z = 1; z <= kLastElement; ++z) {
        const char* name = kSymbols[z];
        if (std::strlen(name) != symbol.size()) continue;
        bool same = true;
        for (size_t i = 0; i < symbol.size(); ++i) {
            same = same && std::tolower(static_cast<unsigned char>(symbol[i])) ==
                               std::tolower(static_cast<unsigned char>(name[i]));
        }
        if (same) return z;
    }
    return std::nullopt;
}

std::optional<std::vector<int>> ParseElementList(std::string_view text, std::string* unknown) {
    std::vector<int> elements;
    while (true) {
        const size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        const std::optional<int> z = ElementNamed(name);
        if (!z) {
            if (unknown != nullptr) *unknown = std::string(name);
            return std::nullopt;
        }
        if (std::find(elements.begin(), elements.end(), *z) == elements.end()) elements.push_back(*z);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return elements;
}

}  // namespace ravik

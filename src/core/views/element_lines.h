#pragma once
// X-ray emission lines of the elements for identifying peaks: the K, L and
// M lines of every element with their energies and weights (radiative rate
// times the fluorescence yield of the line's shell), taken once from the
// X-ray line data library into one table sorted by energy, so a lookup is a
// binary search. The candidates for a clicked energy are the elements with a
// line within 0.15 keV of it, strongest first.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravik {

inline constexpr double kLineMatchToleranceKeV = 0.15;
inline constexpr int kLastElement = 98;  // the symbols go up to Cf

enum class LineFamily { K, L, M };

struct XrayLine {
    int z = 0;               // atomic number
    LineFamily family = LineFamily::K;
    const char* name = "";   // "Ka1", "Kb1", "La1", "Lb1", "Lg1", "Ma1", ...
    double keV = 0;
    double weight = 0;       // radiative rate x fluorescence yield of the shell
};

struct ElementCandidate {
    int z = 0;
    XrayLine matched;                // the element's strongest line near the energy
    double distanceKeV = 0;          // |matched.keV - energy|
    std::vector<XrayLine> confirming;  // its other lines inside the asked range, by energy
};

// "H" ... "Cf" for 1..98; "" for any other number.
const char* ElementSymbol(int z);
// The atomic number of a symbol ("Pb", "pb" and "PB" alike; blanks around
// are ignored); nothing for an unknown one.
std::optional<int> ElementNamed(std::string_view symbol);

// "Pb,Cu" (commas, blanks around names allowed): the elements in the order
// given, each once. Nothing, with the offending name in unknown, when a name
// is not an element's or the list is empty.
std::optional<std::vector<int>> ParseElementList(std::string_view text, std::string* unknown = nullptr);

// "Pb La1 10.551 keV".
std::string LineText(const XrayLine& line);

// "As Ka1 10.544 keV; also Kb1 11.726, Kb3 11.720" for the candidate list:
// the matched line, then at most maxConfirming of the strongest other lines.
std::string CandidateText(const ElementCandidate& candidate, size_t maxConfirming = 3);

class XrayLineTable;

// The elements whose lines are marked on a plot, in the order chosen. They
// stay until removed or cleared.
class ElementMarkers {
public:
    // False when the element is marked already or is no element.
    bool add(int z);
    bool remove(int z);
    void clear() { elements_.clear(); }
    const std::vector<int>& elements() const { return elements_; }

    // Every marked element's lines from fromKeV to toKeV, by element in
    // the order chosen, each element's by energy.
    std::vector<XrayLine> lines(const XrayLineTable& table, double fromKeV, double toKeV) const;

private:
    std::vector<int> elements_;
};

class XrayLineTable {
public:
    // The table, built on first use from the line library (thread-safe).
    static const XrayLineTable& Instance();

    // Every line, by energy.
    const std::vector<XrayLine>& lines() const { return lines_; }

    // The elements with a K, L or M line within tolerance of keV, by the
    // weight of that line (the heavier first; the nearer on a tie), each with
    // its other lines from fromKeV to toKeV.
    std::vector<ElementCandidate> candidates(double keV, double fromKeV, double toKeV,
                                             double tolerance = kLineMatchToleranceKeV) const;
    // An element's lines from fromKeV to toKeV, by energy (for its markers).
    std::vector<XrayLine> linesOf(int z, double fromKeV, double toKeV) const;

    // Built from the library by Instance(); public for tests and benchmarks.
    XrayLineTable();

private:
    std::vector<XrayLine> lines_;                   // every line, by energy
    std::vector<std::vector<XrayLine>> byElement_;  // each element's lines, by energy
};

}  // namespace ravik

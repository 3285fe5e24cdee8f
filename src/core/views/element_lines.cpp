#include "core/views/element_lines.h"

#include <xraylib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace ravik {

namespace {

// The lines taken from the library: the main K, L and M lines and the
// shell whose vacancy they fill.
struct LineDefinition {
    int line;
    int shell;
    LineFamily family;
    const char* name;
};
constexpr LineDefinition kLines[] = {
    {KL3_LINE, K_SHELL, LineFamily::K, "Ka1"},   {KL2_LINE, K_SHELL, LineFamily::K, "Ka2"},
    {KM3_LINE, K_SHELL, LineFamily::K, "Kb1"},   {KM2_LINE, K_SHELL, LineFamily::K, "Kb3"},
    {KN3_LINE, K_SHELL, LineFamily::K, "Kb2"},
    {L3M5_LINE, L3_SHELL, LineFamily::L, "La1"}, {L3M4_LINE, L3_SHELL, LineFamily::L, "La2"},
    {L3N5_LINE, L3_SHELL, LineFamily::L, "Lb2"}, {L3M1_LINE, L3_SHELL, LineFamily::L, "Ll"},
    {L2M4_LINE, L2_SHELL, LineFamily::L, "Lb1"}, {L2N4_LINE, L2_SHELL, LineFamily::L, "Lg1"},
    {L2M1_LINE, L2_SHELL, LineFamily::L, "Ln"},  {L1M3_LINE, L1_SHELL, LineFamily::L, "Lb3"},
    {L1M2_LINE, L1_SHELL, LineFamily::L, "Lb4"}, {L1N3_LINE, L1_SHELL, LineFamily::L, "Lg3"},
    {M5N7_LINE, M5_SHELL, LineFamily::M, "Ma1"}, {M5N6_LINE, M5_SHELL, LineFamily::M, "Ma2"},
    {M4N6_LINE, M4_SHELL, LineFamily::M, "Mb"},  {M3N5_LINE, M3_SHELL, LineFamily::M, "Mg"},
};

// A value from the library; 0 when it reports an error (an element without
// that line, say). The error is taken and freed here, never printed.
template <typename Call>
double Ask(Call call) {
    xrl_error* error = nullptr;
    const double value = call(&error);
    if (error != nullptr) {
        xrl_error_free(error);
        return 0;
    }
    return std::isfinite(value) ? value : 0;
}

bool ByEnergy(const XrayLine& a, const XrayLine& b) {
    return a.keV < b.keV || (a.keV == b.keV && a.z < b.z);
}

}  // namespace

std::string LineText(const XrayLine& line) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %.3f keV", ElementSymbol(line.z), line.name, line.keV);
    return text;
}

std::string CandidateText(const ElementCandidate& candidate, size_t maxConfirming) {
    std::string text = LineText(candidate.matched);
    std::vector<XrayLine> strongest = candidate.confirming;
    std::stable_sort(strongest.begin(), strongest.end(),
                     [](const XrayLine& a, const XrayLine& b) { return a.weight > b.weight; });
    for (size_t i = 0; i < strongest.size() && i < maxConfirming; ++i) {
        char line[48];
        std::snprintf(line, sizeof line, "%s %s %.3f", i == 0 ? "; also" : ",", strongest[i].name, strongest[i].keV);
        text += line;
    }
    return text;
}

bool ElementMarkers::add(int z) {
    if (z < 1 || z > kLastElement || std::find(elements_.begin(), elements_.end(), z) != elements_.end()) {
        return false;
    }
    elements_.push_back(z);
    return true;
}

bool ElementMarkers::remove(int z) {
    const auto found = std::find(elements_.begin(), elements_.end(), z);
    if (found == elements_.end()) return false;
    elements_.erase(found);
    return true;
}

std::vector<XrayLine> ElementMarkers::lines(const XrayLineTable& table, double fromKeV, double toKeV) const {
    std::vector<XrayLine> marked;
    for (int z : elements_) {
        const std::vector<XrayLine> own = table.linesOf(z, fromKeV, toKeV);
        marked.insert(marked.end(), own.begin(), own.end());
    }
    return marked;
}

const XrayLineTable& XrayLineTable::Instance() {
    static const XrayLineTable table;
    return table;
}

XrayLineTable::XrayLineTable() {
    byElement_.resize(kLastElement + 1);
    for (int z = 3; z <= kLastElement; ++z) {
        for (const LineDefinition& definition : kLines) {
            const double keV = Ask([&](xrl_error** e) { return LineEnergy(z, definition.line, e); });
            const double rate = Ask([&](xrl_error** e) { return RadRate(z, definition.line, e); });
            const double yield = Ask([&](xrl_error** e) { return FluorYield(z, definition.shell, e); });
            if (keV <= 0 || rate <= 0 || yield <= 0) continue;
            const XrayLine line{z, definition.family, definition.name, keV, rate * yield};
            lines_.push_back(line);
            byElement_[static_cast<size_t>(z)].push_back(line);
        }
    }
    std::sort(lines_.begin(), lines_.end(), ByEnergy);
    for (std::vector<XrayLine>& lines : byElement_) std::sort(lines.begin(), lines.end(), ByEnergy);
}

std::vector<XrayLine> XrayLineTable::linesOf(int z, double fromKeV, double toKeV) const {
    std::vector<XrayLine> found;
    if (z < 1 || z > kLastElement) return found;
    for (const XrayLine& line : byElement_[static_cast<size_t>(z)]) {
        if (line.keV >= fromKeV && line.keV <= toKeV) found.push_back(line);
    }
    return found;
}

std::vector<ElementCandidate> XrayLineTable::candidates(double keV, double fromKeV, double toKeV,
                                                        double tolerance) const {
    std::vector<ElementCandidate> found;
    if (!std::isfinite(keV) || !(tolerance >= 0)) return found;
    const auto begin = std::lower_bound(lines_.begin(), lines_.end(), keV - tolerance,
                                        [](const XrayLine& line, double e) { return line.keV < e; });
    for (auto it = begin; it != lines_.end() && it->keV <= keV + tolerance; ++it) {
        const double distance = std::fabs(it->keV - keV);
        auto same = std::find_if(found.begin(), found.end(), [&](const ElementCandidate& c) { return c.z == it->z; });
        if (same == found.end()) {
            found.push_back({it->z, *it, distance, {}});
        } else if (it->weight > same->matched.weight ||
                   (it->weight == same->matched.weight && distance < same->distanceKeV)) {
            same->matched = *it;
            same->distanceKeV = distance;
        }
    }
    std::sort(found.begin(), found.end(), [](const ElementCandidate& a, const ElementCandidate& b) {
        if (a.matched.weight != b.matched.weight) return a.matched.weight > b.matched.weight;
        if (a.distanceKeV != b.distanceKeV) return a.distanceKeV < b.distanceKeV;
        return a.z < b.z;
    });
    for (ElementCandidate& candidate : found) {
        for (const XrayLine& line : linesOf(candidate.z, fromKeV, toKeV)) {
            if (line.name != candidate.matched.name) candidate.confirming.push_back(line);
        }
    }
    return found;
}

}  // namespace ravik

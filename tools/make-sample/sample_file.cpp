#include "make-sample/sample_file.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "core/platform/format_text.h"
#include "core/readings/mode_codes.h"
#include "core/readings/record.h"
#include "core/readings/time_stamp.h"

namespace ravik::sample {

uint64_t Rng::next() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Rng::between(int lo, int hi) {
    if (hi <= lo) return lo;
    const uint64_t span = static_cast<uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(next() % span);
}

double Rng::uniform(double lo, double hi) {
    const double unit = static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
    return lo + (hi - lo) * unit;
}

namespace {

// ---------------------------------------------------------------------------
// Versions and mode codes

// Paint readings of 5.1 and below carry 0, 8 and 9.
constexpr int kOldPaintCodes[] = {0, 8, 9};

const std::vector<CodeEntry>& EntriesOf(Mode mode) {
    static const std::array<std::vector<CodeEntry>, kModeCount> kEntries = {{
        {CodeEntry::PaintFixed, CodeEntry::PaintCode1, CodeEntry::PaintCode2, CodeEntry::PaintCode3},
        {CodeEntry::BulkCode1, CodeEntry::BulkCode2, CodeEntry::BulkCode3},
        {CodeEntry::ThinCode1, CodeEntry::ThinCode2, CodeEntry::ThinCode3, CodeEntry::ThinCode4,
         CodeEntry::ThinCode5},
        {CodeEntry::AlloyCode1, CodeEntry::AlloyCode2, CodeEntry::AlloyCode3, CodeEntry::AlloyCode4,
         CodeEntry::AlloyCode5},
        {CodeEntry::SignCode1, CodeEntry::SignCode2, CodeEntry::SignCode3, CodeEntry::SignCode4},
    }};
    return kEntries[static_cast<size_t>(Index(mode))];
}

// ---------------------------------------------------------------------------
// Small helpers

// label:value, cut to the field's width.
std::string Field(std::string_view label, std::string_view value, size_t width) {
    std::string text(label);
    text += ':';
    text += value;
    if (text.size() > width) text.resize(width);
    return text;
}

constexpr size_t kWide = 28;    // fields 1, 2, 5, 6, 7
constexpr size_t kNarrow = 15;  // fields 3, 4, 8, 9, 10, 11

// Text field indices (field number - 1).
enum FieldIndex { F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11 };

// A value with the precision the analyzer would give it; below the limit
// of detection when precision x 1.5 exceeds the value.
struct Result {
    double value;
    double precision;
};

// ---------------------------------------------------------------------------
// Elements

struct ElementInfo {
    const char* name;
    double lineKeV;  // the line the spectrum shows for it
    double bulkLow;  // typical soil range, ppm
    double bulkHigh;
    double bulkLod;  // ppm
};

// In the order the analyzer reports them.
constexpr ElementInfo kElements[] = {
    {"K", 3.31, 5000, 20000, 400},  {"Ca", 3.69, 2000, 50000, 250}, {"Ti", 4.51, 1000, 5000, 120},
    {"Cr", 5.41, 20, 200, 40},      {"Mn", 5.90, 200, 1500, 60},    {"Fe", 6.40, 10000, 50000, 80},
    {"Co", 6.93, 5, 30, 50},        {"Ni", 7.48, 10, 80, 30},       {"Cu", 8.05, 10, 300, 25},
    {"Zn", 8.64, 30, 800, 20},      {"As", 10.54, 3, 60, 8},        {"Se", 11.22, 1, 10, 5},
    {"Rb", 13.39, 30, 150, 5},      {"Sr", 14.17, 50, 400, 5},      {"Zr", 15.78, 100, 600, 8},
    {"Mo", 17.48, 1, 10, 6},        {"Ag", 22.16, 1, 20, 20},       {"Cd", 23.17, 1, 30, 20},
    {"Sn", 25.27, 2, 50, 25},       {"Sb", 26.36, 2, 40, 25},       {"Ba", 32.19, 200, 1500, 60},
    {"Hg", 9.99, 1, 20, 10},        {"Pb", 10.55, 10, 4000, 12},
};
constexpr int kElementCount = static_cast<int>(std::size(kElements));

double LineOf(std::string_view name) {
    for (const ElementInfo& e : kElements) {
        if (name == e.name) return e.lineKeV;
    }
    if (name == "Nb") return 16.62;
    if (name == "W") return 8.40;
    if (name == "V") return 4.95;
    return 0.0;
}

ElementSpec Entry(std::string_view name, const Result& r, double scale, uint8_t flags = 0) {
    ElementSpec recordSpec;
    recordSpec.name = std::string(name);
    recordSpec.flags = flags;
    recordSpec.valueWord = PackTenth(r.value * scale);
    recordSpec.precisionWord = PackTenth(r.precision * scale);
    return recordSpec;
}

// ---------------------------------------------------------------------------
// Alloy grades

struct Part {
    const char* element;
    double percent;  // 0: the balance
};

struct Grade {
    const char* grade;  // as the 1st/2nd/3rd match shows it
    const char* name;   // the Name field
    const char* uns;
    int family;
    std::vector<Part> parts;
};

const std::vector<Grade>& Grades() {
    static const std::vector<Grade> kGrades = {
        {"304", "SS 304", "S30400", 0, {{"Cr", 18.5}, {"Mn", 1.4}, {"Fe", 0}, {"Ni", 8.6}, {"Cu", 0.3}, {"Mo", 0.3}}},
        {"316", "SS 316", "S31600", 0, {{"Cr", 17.0}, {"Mn", 1.5}, {"Fe", 0}, {"Ni", 11.0}, {"Mo", 2.2}}},
        {"321", "SS 321", "S32100", 0, {{"Ti", 0.5}, {"Cr", 17.5}, {"Mn", 1.2}, {"Fe", 0}, {"Ni", 10.0}}},
        {"347", "SS 347", "S34700", 0, {{"Cr", 18.0}, {"Mn", 1.3}, {"Fe", 0}, {"Ni", 10.5}, {"Nb", 0.8}}},
        {"410", "SS 410", "S41000", 0, {{"Cr", 12.5}, {"Mn", 0.6}, {"Fe", 0}, {"Ni", 0.3}}},
        {"430", "SS 430", "S43000", 0, {{"Cr", 16.5}, {"Mn", 0.5}, {"Fe", 0}}},
        {"C26000", "Brass 260", "C26000", 1, {{"Cu", 0}, {"Zn", 30.0}, {"Pb", 0.05}}},
        {"C36000", "Brass 360", "C36000", 1, {{"Fe", 0.2}, {"Cu", 0}, {"Zn", 35.5}, {"Pb", 3.0}}},
        {"C11000", "Cu 110", "C11000", 1, {{"Cu", 0}}},
        {"C93200", "Bronze 932", "C93200", 1, {{"Cu", 0}, {"Zn", 3.0}, {"Sn", 7.0}, {"Pb", 7.0}}},
        {"C71500", "CuNi 70/30", "C71500", 1, {{"Mn", 0.6}, {"Fe", 0.6}, {"Ni", 30.5}, {"Cu", 0}}},
        {"625", "Ni 625", "N06625", 2, {{"Cr", 21.5}, {"Fe", 2.5}, {"Ni", 0}, {"Nb", 3.6}, {"Mo", 9.0}}},
        {"400", "Ni 400", "N04400", 2, {{"Mn", 1.0}, {"Fe", 1.5}, {"Ni", 0}, {"Cu", 32.0}}},
        {"600", "Ni 600", "N06600", 2, {{"Cr", 15.5}, {"Mn", 0.5}, {"Fe", 8.0}, {"Ni", 0}}},
        {"Co6", "Co 6", "R30006", 2, {{"Cr", 29.0}, {"Fe", 2.0}, {"Co", 0}, {"Ni", 2.0}, {"W", 4.5}}},
        {"CP Ti", "Ti CP2", "R50400", 3, {{"Ti", 0}, {"Fe", 0.2}}},
        {"Ti-6-4", "Ti 6-4", "R56400", 3, {{"Ti", 0}, {"V", 4.0}, {"Fe", 0.2}}},
    };
    return kGrades;
}

// Elements an alloy reading may show besides its grade's, as traces.
constexpr const char* kTraceElements[] = {"Ti", "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn",
                                          "Nb", "Mo", "Sn", "W", "Pb"};

// ---------------------------------------------------------------------------
// Text pools

constexpr const char* kInspectors[] = {"R. Okafor", "L. Marsh", "D. Kowal", "S. Tran",
                                       "M. Lindqvist", "A. Brandt"};
constexpr const char* kRooms[] = {"Kitchen", "Bedroom 1", "Bedroom 2", "Living", "Bath", "Hall",
                                  "Stairs", "Porch", "Class 104", "Class 106", "Gym", "Office"};
constexpr const char* kStructures[] = {"Door", "Window", "Wall", "Floor", "Ceiling", "Stair",
                                       "Radiator", "Shelf", "Column"};
constexpr const char* kSubstrates[] = {"Wood", "Metal", "Plaster", "Drywall", "Brick", "Concrete"};
constexpr const char* kFeatures[] = {"Casing", "Jamb", "Sash", "Sill", "Stool", "Baseboard",
                                     "Apron", "Rail", "Spindle", "Tread", "Header"};
constexpr const char* kConditions[] = {"Intact", "Intact", "Fair", "Poor"};
constexpr const char* kColors[] = {"White", "Green", "Blue", "Yellow", "Brown", "Gray", "Red"};
constexpr const char* kPaintNotes[] = {"", "", "", "Peeling", "Chipped", "Repaint", "Recheck"};

constexpr const char* kSoilTypes[] = {"Soil", "Soil", "Dust", "Sediment", "Sludge"};
constexpr const char* kSoilConditions[] = {"Dry", "Moist", "Sieved", "Bagged"};
constexpr const char* kGroundCover[] = {"Bare", "Grass", "Gravel", "Mulch"};
constexpr const char* kSoilColors[] = {"Brown", "Gray", "Black", "Tan", "Red"};
constexpr const char* kSoilNotes[] = {"", "Dripline", "Play area", "Garden", "Yard", "Fence"};
constexpr const char* kSides[] = {"North", "East", "South", "West"};

constexpr const char* kThinTypes[] = {"Wipe", "Wipe", "Filter", "Film"};
constexpr const char* kThinPlaces[] = {"Floor", "Sill", "Trough", "Shelf", "Vent"};
constexpr const char* kThinSubstrates[] = {"Smooth", "Rough", "Carpet", "Tile"};

constexpr const char* kBins[] = {"Bin 1", "Bin 2", "Bin 4", "Rack B2", "Pallet 7", "Yard"};
constexpr const char* kVerdicts[] = {"Pass", "Pass", "Pass", "Check", "Fail"};
constexpr const char* kAlloyNotes[] = {"", "", "Scrap", "Recheck", "Flange", "Valve"};

// ---------------------------------------------------------------------------
// Measurement block

std::array<uint16_t, 13> StatusWords(Rng& rng) {
    const double values[13] = {
        rng.uniform(2.0, 25.0),     // dead time, %
        rng.uniform(20.0, 35.0),    // temperature, C
        rng.uniform(-28.0, -20.0),  // detector temperature, C
        rng.uniform(6.6, 8.2),      // battery, V
        rng.uniform(1.5, 3.0),      // cooler, V
        rng.uniform(4.9, 5.1),      // supply, V
        rng.uniform(1.5, 4.0),      // power, W
        rng.uniform(0.5, 2.0),      // cooler power
        rng.uniform(175.0, 185.0),  // bias 1
        rng.uniform(175.0, 185.0),  // bias 2
        rng.uniform(0.01, 0.2),     // leak 1
        rng.uniform(0.01, 0.2),     // leak 2
        rng.uniform(0.2, 0.9),      // resolution
    };
    std::array<uint16_t, 13> words{};
    for (size_t k = 0; k < words.size(); ++k) words[k] = PackMilli(values[k]);
    return words;
}

uint32_t Millis(double seconds) { return static_cast<uint32_t>(seconds * 1000.0 + 0.5); }

// ---------------------------------------------------------------------------
// Spectra

struct Line {
    double keV;
    double height;  // counts at the top of the peak
};

// The low spectrum spans about 0..20 keV, the high one 0..110 keV.
constexpr double kLowSpanKeV = 20.0;
constexpr double kHighSpanKeV = 110.0;

double Peak(double channel, double centre, double width, double height) {
    const double d = (channel - centre) / width;
    const double q = 1.0 + d * d;
    return height / (q * q);
}

void AddRegion(std::vector<uint16_t>& words, int channels, double spanKeV, double backgroundTop,
               const std::vector<Line>& lines, Rng& rng) {
    if (channels <= 0) return;
    const double keVPerChannel = spanKeV / channels;
    for (int c = 0; c < channels; ++c) {
        const double x = static_cast<double>(c) / channels;
        // A falling continuum with a scattered hump in the upper half.
        double counts = backgroundTop / (1.0 + 12.0 * x * x) + 40.0 +
                        Peak(x, 0.75, 0.12, backgroundTop * 0.25);
        for (const Line& line : lines) {
            const double centre = line.keV / keVPerChannel;
            const double width = (0.08 + 0.006 * line.keV) / keVPerChannel;
            counts += Peak(c, centre, width, line.height);
        }
        counts *= rng.uniform(0.96, 1.04);
        words.push_back(PackMilli(std::min(counts, 60000.0)));
    }
}

SpectrumSpec MakeSpectrum(size_t elementEntries, const std::vector<Line>& lines, int sourceBits,
                          bool compact, Rng& rng) {
    SpectrumSpec s;
    constexpr uint16_t kLowSizes[] = {256, 320, 384, 448, 512};
    constexpr uint16_t kHighSizes[] = {256, 512, 768, 1024};
    s.lowChannels = compact ? 256 : rng.pick(kLowSizes);
    s.highChannels = compact ? 256 : rng.pick(kHighSizes);
    s.region3Channels = static_cast<uint16_t>(rng.between(0, compact ? 8 : 64));
    s.region4Channels = static_cast<uint16_t>(rng.between(0, compact ? 8 : 64));
    // Keep the record within the analyzer's largest.
    const size_t fixedBytes = kRecordHeaderSize + 34 + 16 + 8 * elementEntries + 230 + 44;
    const size_t budget = (kLargestRecord - fixedBytes) / 2;
    const size_t others = size_t{s.lowChannels} + s.region3Channels + s.region4Channels;
    if (others + s.highChannels > budget) s.highChannels = static_cast<uint16_t>(budget - others);

    s.floats[0] = static_cast<float>(rng.between(0, 20));                      // lowFirst
    s.floats[1] = static_cast<float>(kLowSpanKeV * 1000.0 / s.lowChannels);    // eV per L channel
    s.floats[2] = static_cast<float>(rng.uniform(10.0, 30.0));                 // L live time, s
    s.floats[3] = static_cast<float>(kHighSpanKeV * 1000.0 / s.highChannels);  // eV per K channel
    s.floats[4] = rng.chance(30) ? 200.0f : 100.0f;                            // lowStep
    s.floats[5] = 100.0f;                                                      // highStep
    s.floats[6] = static_cast<float>(rng.uniform(10.0, 30.0));                 // K live time, s
    s.floats[7] = 1.0f;

    std::vector<Line> low;
    std::vector<Line> high;
    for (const Line& line : lines) (line.keV < kLowSpanKeV ? low : high).push_back(line);
    // The source shows as a backscatter peak in the K spectrum.
    if (sourceBits == 4 || sourceBits == 6 || sourceBits == 7) high.push_back({59.5, 2500.0});
    if (sourceBits == 2 || sourceBits == 3 || sourceBits == 6 || sourceBits == 7) {
        high.push_back({88.0, 1800.0});
    }

    s.channelWords.reserve(s.lowChannels + s.highChannels + s.region3Channels + s.region4Channels);
    AddRegion(s.channelWords, s.lowChannels, kLowSpanKeV, rng.uniform(3000.0, 9000.0), low, rng);
    AddRegion(s.channelWords, s.highChannels, kHighSpanKeV, rng.uniform(800.0, 3000.0), high, rng);
    AddRegion(s.channelWords, s.region3Channels, 5.0, rng.uniform(100.0, 400.0), {}, rng);
    AddRegion(s.channelWords, s.region4Channels, 5.0, rng.uniform(100.0, 400.0), {}, rng);
    return s;
}

// ---------------------------------------------------------------------------
// The readings of each mode

struct Reading {
    RecordSpec recordSpec;
    std::vector<Line> lines;
    int sourceBits = 2;
};

int CodeFor(const SampleOptions& options, Mode mode, int index) {
    const std::vector<int> codes = ModeCodesFor(options.version, mode);
    return codes[static_cast<size_t>(index) % codes.size()];
}

bool IsAlloyLikeCode(const SampleOptions& options, int code) {
    const float version = VersionNumber(options.version);
    if (!VersionAbove51(version)) return false;
    return ModeCodeTableFor(version).isAlloyLike(code);
}

int AnySource(Rng& rng) {
    constexpr int kSources[] = {2, 3, 4, 6, 7};
    return rng.pick(kSources);
}

// Paint: what the instrument concluded, chosen in turn so that a file with
// ten paint readings shows every class.
enum class PaintCase { Negative, Positive, Inconclusive, Above5, Incomplete, NotDone, NoClass };
constexpr PaintCase kPaintCases[10] = {
    PaintCase::Negative,   PaintCase::Positive, PaintCase::Negative, PaintCase::Inconclusive,
    PaintCase::Above5,     PaintCase::Negative, PaintCase::Incomplete, PaintCase::Positive,
    PaintCase::NotDone,    PaintCase::NoClass,
};

void MakePaint(const SampleOptions& options, const ReadingPlace& place, Rng& rng, Reading& r) {
    const PaintCase which = kPaintCases[(static_cast<uint32_t>(place.index) + options.seed) % 10];
    double seconds = rng.uniform(20.0, 40.0);
    double lead = 0.0;
    int paintClass = 0;
    switch (which) {
        case PaintCase::Negative: lead = rng.uniform(0.0, 0.6); paintClass = 2; break;
        case PaintCase::Positive: lead = rng.uniform(1.0, 4.8); paintClass = 1; break;
        case PaintCase::Inconclusive: lead = rng.uniform(0.7, 0.99); paintClass = 3; break;
        case PaintCase::Above5: lead = rng.uniform(5.2, 9.5); paintClass = 1; break;
        case PaintCase::Incomplete:
            seconds = rng.uniform(5.0, 18.0);
            lead = rng.uniform(0.1, 1.6);
            paintClass = 4;
            break;
        case PaintCase::NotDone: seconds = rng.uniform(1.0, 6.0); paintClass = 5; break;
        case PaintCase::NoClass: seconds = rng.uniform(10.0, 40.0); lead = rng.uniform(0.0, 2.0); break;
    }
    const bool measured = which != PaintCase::NotDone;
    const Result l{lead, measured ? rng.uniform(0.05, 0.5) : 0.0};
    const Result k{measured ? lead * rng.uniform(0.85, 1.15) : 0.0,
                   measured ? rng.uniform(0.1, 0.5) : 0.0};
    const Result c{(l.value + k.value) / 2.0, std::min(l.precision, k.precision) * 0.8};

    // Lead results in mg/cm2; the entries hold them x 1000.
    RecordSpec& recordSpec = r.recordSpec;
    recordSpec.measuringMillis = Millis(seconds);
    recordSpec.elements.push_back(Entry("Pbl", l, 1000.0));
    recordSpec.elements.push_back(Entry("Pbk", k, 1000.0));
    recordSpec.elements.push_back(Entry("Pbc", c, 1000.0, static_cast<uint8_t>(paintClass << 4)));
    if (rng.chance(50)) recordSpec.elements.push_back(Entry("Res", {rng.uniform(0.15, 0.3), 0.0}, 1000.0));
    recordSpec.diWord = PackMilli(measured ? rng.uniform(1.0, 6.0) : 0.0);

    auto& t = recordSpec.textFields;
    t[F1] = Field("Site", options.site, kWide);
    t[F2] = Field("Inspector", rng.pick(kInspectors), kWide);
    t[F3] = Field("Floor", FormatText("%d", rng.between(1, 3)), kNarrow);
    t[F4] = Field("Side", std::string(1, static_cast<char>('A' + rng.between(0, 3))), kNarrow);
    t[F5] = Field("Room", rng.pick(kRooms), kWide);
    t[F6] = Field("Struc", rng.pick(kStructures), kWide);
    t[F7] = Field("Feat", rng.pick(kFeatures), kWide);
    t[F8] = Field("Sub", rng.pick(kSubstrates), kNarrow);
    t[F9] = Field("Cnd", rng.pick(kConditions), kNarrow);
    t[F10] = Field("Color", rng.pick(kColors), kNarrow);
    t[F11] = Field("Note", rng.pick(kPaintNotes), kNarrow);

    // Pb L lines in the low spectrum, K lines in the high one.
    const double lHeight = 15000.0 * lead / (lead + 2.0);
    r.lines = {{10.55, lHeight}, {12.61, lHeight * 0.8}, {75.0, 4000.0 * k.value / (k.value + 2.0)},
               {84.9, 1200.0 * k.value / (k.value + 2.0)}};
}

// Bulk and Thin: a selection of elements in the analyzer's order.
void MakeElements(bool thin, bool alloyLike, Rng& rng, Reading& r) {
    const int wanted = rng.between(5, 20);
    int needed = wanted;
    for (int i = 0; i < kElementCount && needed > 0; ++i) {
        if (rng.between(0, kElementCount - i - 1) >= needed) continue;
        --needed;
        const ElementInfo& e = kElements[i];
        // Thin samples hold micrograms per square centimetre.
        const double scale = thin ? 0.01 : 1.0;
        const double low = std::max(e.bulkLow * scale, 0.2);
        const double high = std::max(e.bulkHigh * scale, 1.0);
        const double lod = std::max(e.bulkLod * scale, 0.1);
        const double u = rng.uniform(0.0, 1.0);
        double value = low + (high - low) * u * u;
        double precision = lod * rng.uniform(0.4, 0.8) + value * rng.uniform(0.02, 0.05);
        if (rng.chance(25)) value = precision * rng.uniform(0.1, 1.4);  // below the detection limit
        // The alloy-like Bulk codes read their first three entries as matches.
        const size_t entry = r.recordSpec.elements.size();
        if (alloyLike && entry < 3 && value >= 200.0) {
            value = rng.uniform(20.0, 190.0);
            precision = std::min(precision, value / 3.0);
        }
        r.recordSpec.elements.push_back(Entry(e.name, {value, precision}, 1.0));
        r.lines.push_back({e.lineKeV, 20000.0 * value / (value + (thin ? 50.0 : 5000.0))});
    }
}

void MakeBulk(const SampleOptions& options, const ReadingPlace& place, Rng& rng, Reading& r) {
    RecordSpec& recordSpec = r.recordSpec;
    recordSpec.measuringMillis = Millis(rng.uniform(30.0, 120.0));
    if (place.index % 7 == 3) {
        recordSpec.cycleIndex = 1;
        recordSpec.cycleCount = 2;
    }
    MakeElements(false, IsAlloyLikeCode(options, CodeFor(options, Mode::Bulk, place.index)),
                 rng, r);
    auto& t = recordSpec.textFields;
    t[F1] = Field("Site", options.site, kWide);
    t[F2] = Field("Insp", rng.pick(kInspectors), kWide);
    t[F3] = Field("Elv", FormatText("%d-%dcm", 0, rng.between(1, 3) * 5), kNarrow);
    t[F4] = Field("Cor1", FormatText("%d.%04d", rng.between(38, 44), rng.between(0, 9999)), kNarrow);
    t[F5] = Field("Side", rng.pick(kSides), kWide);
    t[F6] = Field("Cor2", FormatText("-%d.%04d", rng.between(71, 88), rng.between(0, 9999)), kWide);
    t[F7] = Field("Cnd", rng.pick(kSoilConditions), kWide);
    t[F8] = Field("Type", rng.pick(kSoilTypes), kNarrow);
    t[F9] = Field("Sub", rng.pick(kGroundCover), kNarrow);
    t[F10] = Field("Clr", rng.pick(kSoilColors), kNarrow);
    t[F11] = Field("Note", rng.pick(kSoilNotes), kNarrow);
}

void MakeThin(const SampleOptions& options, const ReadingPlace& place, Rng& rng, Reading& r) {
    // Wipes are measured in cycles; the last of a set is shown as 0.
    constexpr uint16_t kCycles[5][2] = {{1, 3}, {2, 3}, {3, 3}, {0, 3}, {1, 1}};
    RecordSpec& recordSpec = r.recordSpec;
    const auto& cycle = kCycles[static_cast<size_t>(place.index) % 5];
    recordSpec.cycleIndex = cycle[0];
    recordSpec.cycleCount = cycle[1];
    recordSpec.measuringMillis = Millis(rng.uniform(60.0, 120.0));
    MakeElements(true, false, rng, r);
    auto& t = recordSpec.textFields;
    t[F1] = Field("Site", options.site, kWide);
    t[F2] = Field("Insp", rng.pick(kInspectors), kWide);
    t[F3] = Field("Elv", FormatText("Floor %d", rng.between(1, 3)), kNarrow);
    t[F4] = Field("Cor1", FormatText("Room %d", rng.between(101, 130)), kNarrow);
    t[F5] = Field("Side", rng.pick(kSides), kWide);
    t[F6] = Field("Cor2", rng.pick(kRooms), kWide);
    t[F7] = Field("Cnd", rng.pick(kThinPlaces), kWide);
    t[F8] = Field("Type", rng.pick(kThinTypes), kNarrow);
    t[F9] = Field("Sub", rng.pick(kThinSubstrates), kNarrow);
    t[F10] = Field("Clr", rng.pick(kColors), kNarrow);
    t[F11] = Field("Note", FormatText("Set %d", place.index / 5 + 1), kNarrow);
}

// The composition of a grade as measured: each element near its nominal
// share, the balance element taking the rest, and a few traces.
std::vector<std::pair<std::string, Result>> MeasureGrade(const Grade& grade, Rng& rng) {
    std::vector<std::pair<std::string, Result>> measured;
    double named = 0.0;
    for (const Part& part : grade.parts) named += part.percent;
    const double balance = std::max(100.0 - named - rng.uniform(0.3, 1.2), 1.0);
    for (const Part& part : grade.parts) {
        const double nominal = part.percent > 0.0 ? part.percent : balance;
        const double value = std::min(nominal * rng.uniform(0.96, 1.04), 99.5);
        measured.push_back({part.element, {value, 0.02 + 0.01 * value}});
    }
    const int traces = rng.between(0, 3);
    for (int k = 0; k < traces; ++k) {
        const char* element = rng.pick(kTraceElements);
        const bool present = std::any_of(measured.begin(), measured.end(),
                                         [&](const auto& m) { return m.first == element; });
        if (present) continue;
        const double precision = rng.uniform(0.02, 0.08);
        measured.push_back({element, {precision * rng.uniform(0.3, 3.0), precision}});
    }
    return measured;
}

// The second and third matches: grades of the same family.
std::pair<const Grade*, const Grade*> Neighbours(const Grade& grade, Rng& rng) {
    std::vector<const Grade*> family;
    for (const Grade& other : Grades()) {
        if (other.family == grade.family && &other != &grade) family.push_back(&other);
    }
    if (family.empty()) return {&grade, &grade};
    const size_t a = static_cast<size_t>(rng.between(0, static_cast<int>(family.size()) - 1));
    const size_t b = (a + 1) % family.size();
    return {family[a], family[b]};
}

void PutMatchesAndElements(const Grade& grade, int matches, bool hundredfold, Rng& rng, Reading& r) {
    double match = rng.uniform(0.2, 2.5);
    for (int m = 0; m < 3; ++m) {
        const double value = m < matches ? match : 250.0;
        r.recordSpec.elements.push_back(Entry(FormatText("M%d", m + 1), {value, 0.0}, 1.0));
        match += rng.uniform(0.5, 3.0);
    }
    // Plain percent is held in tenths, so no precision is finer than 0.1.
    const double scale = hundredfold ? 100.0 : 1.0;
    const double finest = hundredfold ? 0.0 : 0.1;
    for (const auto& [element, result] : MeasureGrade(grade, rng)) {
        const double precision = std::max(result.precision, finest);
        r.recordSpec.elements.push_back(Entry(element, {result.value * scale, precision * scale}, 1.0));
        r.lines.push_back({LineOf(element), 30000.0 * result.value / (result.value + 20.0)});
    }
}

void MakeAlloy(const SampleOptions& options, const ReadingPlace& place, Rng& rng, Reading& r) {
    const std::vector<Grade>& grades = Grades();
    const Grade& grade = grades[static_cast<size_t>(rng.between(0, static_cast<int>(grades.size()) - 1))];
    const auto [second, third] = Neighbours(grade, rng);
    // Mostly three matches; now and then two, one or none.
    const uint32_t turn = (static_cast<uint32_t>(place.index) + options.seed) % 8;
    const int matches = turn == 5 ? 0 : turn == 2 ? 1 : turn == 6 ? 2 : 3;
    // Every other reading holds percent x 100; the table divides it back.
    const bool hundredfold = place.index % 2 == 1;

    RecordSpec& recordSpec = r.recordSpec;
    recordSpec.measuringMillis = Millis(rng.uniform(5.0, 30.0));
    PutMatchesAndElements(grade, matches, hundredfold, rng, r);

    auto& t = recordSpec.textFields;
    t[F1] = Field("1st", grade.grade, kWide);
    t[F2] = Field("2nd", second->grade, kWide);
    t[F3] = Field("3rd", third->grade, kNarrow);
    t[F4] = Field("Name", matches > 0 ? grade.name : "", kNarrow);
    t[F5] = Field("UNS", matches > 0 ? grade.uns : "", kWide);
    t[F6] = "Source:";
    t[F7] = Field("F3", FormatText("Heat %d", rng.between(1000, 9999)), kWide);
    t[F8] = Field("F2", rng.pick(kBins), kNarrow);
    t[F9] = Field("F4", FormatText("Lot %d", rng.between(1, 60)), kNarrow);
    t[F10] = Field("F5", rng.pick(kVerdicts), kNarrow);
    t[F11] = Field("Note", rng.pick(kAlloyNotes), kNarrow);
}

void MakeSign(const SampleOptions& /*options*/, const ReadingPlace& place, Rng& rng, Reading& r) {
    const std::vector<Grade>& grades = Grades();
    const Grade& grade = grades[static_cast<size_t>(rng.between(0, static_cast<int>(grades.size()) - 1))];
    RecordSpec& recordSpec = r.recordSpec;
    recordSpec.measuringMillis = Millis(rng.uniform(10.0, 60.0));
    PutMatchesAndElements(grade, 3, false, rng, r);
    // Now and then the light-element source alone.
    if (place.index % 4 == 2) r.sourceBits = 1;

    auto& t = recordSpec.textFields;
    t[F1] = Field("Name", grade.name, kWide);
    t[F2] = Field("UNS", grade.uns, kWide);
    t[F4] = Field("Name", FormatText("Sig %d", place.index + 1), kNarrow);
    t[F5] = Field("UNS", grade.uns, kWide);
    t[F6] = "Source:";
    t[F7] = Field("F2", rng.pick(kBins), kWide);
    t[F8] = Field("F3", FormatText("Heat %d", rng.between(1000, 9999)), kNarrow);
    t[F9] = Field("F4", FormatText("Lot %d", rng.between(1, 60)), kNarrow);
    t[F10] = Field("F5", rng.pick(kVerdicts), kNarrow);
    t[F11] = Field("F6", rng.pick(kAlloyNotes), kNarrow);
}

// ---------------------------------------------------------------------------
// Time stamps: a working day from about eight o'clock, readings one after
// the other, the next weekday when the day is over.

constexpr int64_t kFirstDay = 12418;  // 2004-01-01, days since 1970-01-01
constexpr int64_t kDays = 3 * 365;
constexpr int64_t kDayStart = 7 * 3600;  // on the instrument's calendar
constexpr int64_t kDayEnd = 16 * 3600 + 1800;

bool IsWeekend(int64_t day) {
    const int64_t weekday = (day + 4) % 7;  // 1970-01-01 was a Thursday (4)
    return weekday == 0 || weekday == 6;
}

int64_t NextWorkingDay(int64_t day) {
    do {
        ++day;
    } while (IsWeekend(day));
    return day;
}

class WorkingDay {
public:
    explicit WorkingDay(Rng& rng) {
        day_ = kFirstDay + rng.between(0, static_cast<int>(kDays));
        if (IsWeekend(day_)) day_ = NextWorkingDay(day_);
        second_ = kDayStart + rng.between(0, 5400);
    }
    uint32_t now() const {
        return static_cast<uint32_t>(day_ * 86400 + second_ - kInstrumentEpoch);
    }
    void advance(uint32_t measuringMillis, Rng& rng) {
        second_ += measuringMillis / 1000 + 1 + rng.between(20, 420);
        if (second_ > kDayEnd) {
            day_ = NextWorkingDay(day_);
            second_ = kDayStart + rng.between(0, 3600);
        }
    }

private:
    int64_t day_ = kFirstDay;
    int64_t second_ = kDayStart;
};

// The modes in file order: runs of one mode at a time, or grouped by mode.
std::vector<Mode> FileOrder(const SampleOptions& options, Rng& rng) {
    std::array<int, kModeCount> left{};
    int total = 0;
    for (size_t m = 0; m < left.size(); ++m) {
        left[m] = std::max(options.counts[m], 0);
        total += left[m];
    }
    std::vector<Mode> order;
    order.reserve(static_cast<size_t>(total));
    if (!options.interleave) {
        for (Mode mode : kAllModes) order.insert(order.end(), static_cast<size_t>(left[static_cast<size_t>(Index(mode))]), mode);
        return order;
    }
    while (total > 0) {
        int draw = rng.between(0, total - 1);
        size_t m = 0;
        while (draw >= left[m]) draw -= left[m++];
        const int run = std::min(rng.between(1, 4), left[m]);
        order.insert(order.end(), static_cast<size_t>(run), static_cast<Mode>(m));
        left[m] -= run;
        total -= run;
    }
    return order;
}

}  // namespace

bool IsSampleVersion(const std::string& version) {
    return version == "5.0" || version == "5.5" || version == "6.0";
}

float VersionNumber(const std::string& version) { return std::stof(version); }

uint16_t ModeWordFor(const std::string& version, int code, int sourceBits) {
    const ModeWordLayout layout = ModeWordLayoutFor(VersionNumber(version));
    const int maxSource = (0xFFFF >> layout.sourceShift);
    return static_cast<uint16_t>((code & layout.codeMask) |
                                 (std::clamp(sourceBits, 0, maxSource) << layout.sourceShift));
}

std::vector<int> ModeCodesFor(const std::string& version, Mode mode) {
    const float number = VersionNumber(version);
    if (!VersionAbove51(number)) {
        if (mode == Mode::Paint) return {std::begin(kOldPaintCodes), std::end(kOldPaintCodes)};
        return {Index(mode)};
    }
    const ModeCodeTable table = ModeCodeTableFor(number);
    std::vector<int> codes;
    for (CodeEntry entry : EntriesOf(mode)) {
        const int code = table[entry];
        if (code >= 0 && std::find(codes.begin(), codes.end(), code) == codes.end()) {
            codes.push_back(code);
        }
    }
    return codes;
}

RecordSpec MakeReadingSpec(const SampleOptions& options, Mode mode, const ReadingPlace& place,
                           Rng& rng) {
    Reading r;
    r.recordSpec.instrumentNumber = place.instrumentNumber;
    r.recordSpec.timeStamp = place.timeStamp;
    r.recordSpec.statusWords = StatusWords(rng);
    r.sourceBits = AnySource(rng);
    switch (mode) {
        case Mode::Paint: MakePaint(options, place, rng, r); break;
        case Mode::Bulk: MakeBulk(options, place, rng, r); break;
        case Mode::Thin: MakeThin(options, place, rng, r); break;
        case Mode::Alloy: MakeAlloy(options, place, rng, r); break;
        case Mode::Sign: MakeSign(options, place, rng, r); break;
    }
    r.recordSpec.modeWord = ModeWordFor(options.version, CodeFor(options, mode, place.index), r.sourceBits);
    r.recordSpec.spectrum =
        MakeSpectrum(r.recordSpec.elements.size(), r.lines, r.sourceBits, options.compactSpectra, rng);
    return r.recordSpec;
}

std::vector<uint8_t> MakeReading(const SampleOptions& options, Mode mode, const ReadingPlace& place,
                                 Rng& rng) {
    return BuildRecord(MakeReadingSpec(options, mode, place, rng));
}

std::string MakeFileHeader(const SampleOptions& options) {
    int count = 0;
    for (int n : options.counts) count += std::max(n, 0);
    std::vector<std::string> lines = StandardHeaderLines(count, options.title, options.version);
    if (options.locked && count > 0) lines[0] = FormatText("%-5d Readings", -count);
    return BuildFileHeader(lines, options.site);
}

std::vector<uint8_t> MakeReadingsFile(const SampleOptions& options) {
    Rng rng(0x5EED0000ull ^ (uint64_t{options.seed} * 0x100000001B3ull));
    std::vector<std::vector<uint8_t>> records;
    const std::vector<Mode> order = FileOrder(options, rng);
    WorkingDay clock(rng);
    std::array<int, kModeCount> made{};
    ReadingPlace place;
    place.instrumentNumber = static_cast<uint16_t>(rng.between(1, 300));
    for (Mode mode : order) {
        place.index = made[static_cast<size_t>(Index(mode))]++;
        place.timeStamp = clock.now();
        const RecordSpec recordSpec = MakeReadingSpec(options, mode, place, rng);
        records.push_back(BuildRecord(recordSpec));
        clock.advance(recordSpec.measuringMillis, rng);
        place.instrumentNumber = static_cast<uint16_t>(place.instrumentNumber + (rng.chance(10) ? 2 : 1));
    }
    return JoinFile(MakeFileHeader(options), records);
}

SampleOptions DemoOptions() {
    SampleOptions demo;
    demo.version = "6.0";
    demo.counts = {18, 12, 10, 12, 8};
    demo.seed = 2005;
    demo.site = "Maple Street School";
    demo.title = "Lead survey, east wing";
    return demo;
}

std::vector<SeedFile> SeedFiles() {
    auto make = [](std::string name, std::string version, std::array<int, 5> counts, uint32_t seed,
                   bool locked = false, bool interleave = true) {
        SeedFile file;
        file.name = std::move(name);
        file.options.version = std::move(version);
        file.options.counts = counts;
        file.options.seed = seed;
        file.options.locked = locked;
        file.options.interleave = interleave;
        file.options.compactSpectra = true;
        return file;
    };
    return {
        make("empty-60.qvr", "6.0", {0, 0, 0, 0, 0}, 1),
        make("paint-60.qvr", "6.0", {4, 0, 0, 0, 0}, 2),
        make("paint-50.qvr", "5.0", {3, 0, 0, 0, 0}, 3),
        make("bulk-60.qvr", "6.0", {0, 3, 0, 0, 0}, 4),
        make("bulk-55.qvr", "5.5", {0, 2, 0, 0, 0}, 5),
        make("thin-55.qvr", "5.5", {0, 0, 5, 0, 0}, 6),
        make("alloy-60.qvr", "6.0", {0, 0, 0, 5, 0}, 7),
        make("sign-60.qvr", "6.0", {0, 0, 0, 0, 4}, 8),
        make("mixed-50.qvr", "5.0", {1, 1, 1, 1, 1}, 9),
        make("mixed-55.qvr", "5.5", {2, 1, 1, 1, 1}, 10, false, false),
        make("mixed-60.qvr", "6.0", {2, 1, 1, 1, 1}, 11),
        make("locked-60.lck", "6.0", {2, 0, 0, 1, 0}, 12, true),
        make("locked-50.lck", "5.0", {0, 1, 0, 0, 1}, 13, true),
    };
}

}  // namespace ravik::sample

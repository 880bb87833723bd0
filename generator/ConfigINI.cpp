#include "ConfigINI.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#include "LOGModule.h"
#include "Variablen.h"
#include "common/INIFileModule.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "mstn/KeyinValue.h"

namespace vtl {

namespace {

using INIFileModule::ReadINI;

struct TextKey {
    const char* section;
    const char* key;
    const char* defaultValue;
    std::string ConfigData::*member;
};

// The symbology texts come in groups of eight keys: a prefix and these suffixes.
constexpr std::array<const char*, 8> kTextSuffixes = {"co", "lv", "wt", "lc",
                                                      "tx", "tw", "ft", "Justification"};
struct TextGroup {
    const char* section;
    const char* prefix;
    std::array<const char*, 8> defaults;
    std::array<std::string ConfigData::*, 8> members;
};

constexpr std::array<const char*, 8> kSheetTextDefaults = {"1", "1", "1", "0", "5", "4", "1", "CC"};

using C = ConfigData;

const TextKey kSeedKeys[] = {
    {"Vistrel", "seedfile", "c:\\temp\\vtl\\vtlseed.dgn", &C::seedfile},
    {"Vistrel", "isopath", "c:\\temp", &C::isopath},
};

const TextKey kPipeKeys[] = {
    {"Vistrel", "pipelv", "1", &C::pipelv},
    {"Vistrel", "pipeco", "1", &C::pipeco},
    {"Vistrel", "pipewt", "4", &C::pipewt},
    {"Vistrel", "pipelc", "0", &C::pipelc},
    {"Vistrel", "delLevel", "62", &C::delLevel},
    {"Vistrel", "mstnseedview", "vtl", &C::mstnseedview},
    {"Vistrel", "refscale", "1:1", &C::refscale},
    {"Vistrel", "refpoint", "0,0", &C::refpoint},
    {"Vistrel", "autochangelevel", "yes", &C::autochangelevel},
};

const TextGroup kLENtext = {
    "IsoCoverSheet",
    "LENtext",
    kSheetTextDefaults,
    {&C::LENtextco, &C::LENtextlv, &C::LENtextwt, &C::LENtextlc, &C::LENtexttx, &C::LENtexttw,
     &C::LENtextft, &C::LENtextJustification}};
const TextGroup kI3DLENtext = {
    "I3D",
    "I3DLENtext",
    {"1", "1", "1", "0", "0.01", "0.01", "1", "CC"},
    {&C::I3DLENtextco, &C::I3DLENtextlv, &C::I3DLENtextwt, &C::I3DLENtextlc, &C::I3DLENtexttx,
     &C::I3DLENtexttw, &C::I3DLENtextft, &C::I3DLENtextJustification}};
const TextGroup kTABtext = {
    "IsoCoverSheet",
    "TABtext",
    kSheetTextDefaults,
    {&C::TABtextco, &C::TABtextlv, &C::TABtextwt, &C::TABtextlc, &C::TABtexttx, &C::TABtexttw,
     &C::TABtextft, &C::TABtextJustification}};
const TextGroup kLineLabeltext = {"IsoCoverSheet",
                                  "LineLabeltext",
                                  kSheetTextDefaults,
                                  {&C::LineLabeltextco, &C::LineLabeltextlv, &C::LineLabeltextwt,
                                   &C::LineLabeltextlc, &C::LineLabeltexttx, &C::LineLabeltexttw,
                                   &C::LineLabeltextft, &C::LineLabeltextJustification}};

const TextKey kTablePointKeys[] = {
    {"IsoCoverSheet", "TABlineheight", "1", &C::TABlineheight},
    {"IsoCoverSheet", "TABlinespacing", "1", &C::TABlinespacing},
    {"IsoCoverSheet", "TABnumberpoint", "1", &C::TABnumberpoint},
    {"IsoCoverSheet", "TABlabelpoint", "1", &C::TABlabelpoint},
    {"IsoCoverSheet", "TABXpoint", "1", &C::TABXpoint},
    {"IsoCoverSheet", "TABYpoint", "1", &C::TABYpoint},
    {"IsoCoverSheet", "TABZpoint", "1", &C::TABZpoint},
};

const TextKey kSheetKeys[] = {
    {"IsoCoverSheet", "LineLabelpoint", "CC", &C::LineLabelpoint},
    {"IsoCoverSheet", "Gridfile", "c:\\temp\\fw_projname.dat", &C::Gridfile},
    {"IsoCoverSheet", "ICSseedfile", "c:\\temp\\icsseed.dgn", &C::ICSseedfile},
    {"IsoCoverSheet", "ICSrefscale", "1:1", &C::ICSrefscale},
    {"IsoCoverSheet", "ICSrefpoint", "0,0", &C::ICSrefpoint},
    {"IsoCoverSheet", "ICSmacro", "", &C::ICSmacro},
    {"IPlot", "IParmfile", "\\\\plotserver\\iplot\\iparmfile.i", &C::IParmfile},
    {"IPlot", "IPlotque1", "", &C::IPlotque1},
    {"IPlot", "IPlotque2", "", &C::IPlotque2},
    {"IPlot", "IPlotque3", "", &C::IPlotque3},
    {"IPlot", "IPlotque4", "", &C::IPlotque4},
    {"IPlot", "IPlotque5", "", &C::IPlotque5},
    {"I3D", "I3Dseedfile", "Im_INI-File_nicht_definiert", &C::I3Dseedfile},
    {"I3D", "I3Drefscale", "Im_INI-File_nicht_definiert", &C::I3Drefscale},
    {"I3D", "I3Drefpoint", "Im_INI-File_nicht_definiert", &C::I3Drefpoint},
    {"I3D", "View_direction", "iso", &C::View_direction},
};

// Sets a box as a click on it does, with the couplings of the boxes.
void setBox(ConfigData& c, int16_t ConfigData::*box, int16_t value) {
    c.*box = value;
    if (box == &C::createI3D && value == 1) setBox(c, &C::createICS, 1);
    if (box == &C::createICS && value == 0) setBox(c, &C::createI3D, 0);
}

class Reader {
public:
    Reader(const std::string& file, ConfigData& config) : file_(file), config_(config) {}

    std::string text(const char* section, const char* key, const char* defaultValue) const {
        return ReadINI(file_, section, key, defaultValue);
    }
    double number(const char* section, const char* key, const char* defaultValue) const {
        return num::leadingNumber(text(section, key, defaultValue));
    }

    void read(const TextKey& key) const {
        config_.*key.member = text(key.section, key.key, key.defaultValue);
    }
    template <size_t N>
    void read(const TextKey (&keys)[N]) const {
        for (const TextKey& key : keys) read(key);
    }
    void read(const TextGroup& group) const {
        for (size_t i = 0; i < kTextSuffixes.size(); ++i) {
            const std::string key = std::string(group.prefix) + kTextSuffixes[i];
            config_.*group.members[i] = text(group.section, key.c_str(), group.defaults[i]);
        }
    }

    // A whole number outside the range of its type would stop every run with a bare "Overflow";
    // it takes the key's default instead, and the log says which key holds it.
    template <class Whole>
    Whole whole(const char* section, const char* key, const char* defaultValue,
                Whole (*convert)(double)) const {
        const std::string value = text(section, key, defaultValue);
        try {
            return convert(num::leadingNumber(value));
        } catch (const Error& e) {
            if (e.number() != err::Overflow) throw;
        }
        LOGModule::WriteLog("INI-File " + file_ + ": [" + section + "] " + key + " = " + value +
                                " is out of range - taken as " + defaultValue,
                            "");
        return convert(num::leadingNumber(defaultValue));
    }

    // A box takes only 0, 1 and 2. Another value would stop the start-up, which has no handler
    // for it, so it counts as 0 and the log says which key holds it.
    void readBox(const char* section, const char* key, const char* defaultValue,
                 int16_t ConfigData::*box) const {
        const std::string value = text(section, key, defaultValue);
        const double number = num::leadingNumber(value);
        int16_t state = 0;
        if (number >= -0.5 && number <= 2.5) {
            state = num::toInteger(number);
        } else {
            LOGModule::WriteLog("INI-File " + file_ + ": [" + section + "] " + key + " = " + value +
                                    " is not 0, 1 or 2 - taken as 0",
                                "");
        }
        setBox(config_, box, state);
    }

private:
    const std::string& file_;
    ConfigData& config_;
};

void readConfiguration(const std::string& file, ConfigData& c) {
    const Reader r(file, c);
    r.read(kSeedKeys);
    r.readBox("Programm", "createVTL", "1", &C::createVTL);
    r.readBox("Programm", "createICS", "1", &C::createICS);
    r.readBox("Programm", "createI3D", "1", &C::createI3D);
    r.readBox("Pellmark", "Pellmark", "0", &C::Pellmark);
    c.excelfile = r.text("Pellmark", "excelfile", "");
    r.read(kPipeKeys);
    c.Unitfactor = r.whole("Vistrel", "Unitfactor", "1000", num::toLong);
    c.NotUsedComponent = r.text("Vistrel", "NotUsedComponent", "");
    r.read(kLENtext);
    r.read(kI3DLENtext);
    r.read(kTABtext);
    r.read(kTablePointKeys);
    c.TABround = r.whole("IsoCoverSheet", "TABround", "0", num::toInteger);
    c.TABfactor = r.number("IsoCoverSheet", "TABfactor", "1");
    c.TABaccuracy = r.number("IsoCoverSheet", "TABaccuracy", "0.01");
    c.DVCS_X = r.number("IsoCoverSheet", "DVCS_X", "0");
    c.DVCS_Y = r.number("IsoCoverSheet", "DVCS_Y", "0");
    c.DVCS_Z = r.number("IsoCoverSheet", "DVCS_Z", "0");
    c.gridextension = r.number("IsoCoverSheet", "gridextension", "999999999999999");
    r.read(kLineLabeltext);
    r.read(kSheetKeys);
}

class Dump {
public:
    explicit Dump(const ConfigData& config) : config_(config) {}

    void add(const std::string& name, const std::string& value) {
        lines_.push_back(name + " = " + value);
    }
    void add(const TextKey& key) { add(key.key, config_.*key.member); }
    void add(const TextGroup& group) {
        for (size_t i = 0; i < kTextSuffixes.size(); ++i) {
            add(std::string(group.prefix) + kTextSuffixes[i], config_.*group.members[i]);
        }
    }
    void addLine(const std::string& line) { lines_.push_back(line); }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    const ConfigData& config_;
    std::vector<std::string> lines_;
};

void dumpOptionsAndOverview(const RunState& s, Dump& d) {
    d.add("createVTL", num::text(s.createVTL));
    d.add("createICS", num::text(s.createICS));
    d.add("createI3D", num::text(s.createI3D));
    d.add("Pellmark", num::text(s.Pellmark));
    d.add("excelfile", s.excelfile);
    for (const TextKey& key : kSeedKeys) d.add(key);
    for (const TextKey& key : kPipeKeys) d.add(key);
    d.add("Unitfactor", num::printForm(s.Unitfactor));
    d.add("NotUsedComponent", s.NotUsedComponent);
}

void dumpSheetsAndPlots(const RunState& s, Dump& d) {
    d.add(kLENtext);
    d.add(kI3DLENtext);
    d.add(kTABtext);
    for (const TextKey& key : kTablePointKeys) d.add(key);
    d.add("TABround", num::printForm(s.TABround));
    d.add("TABfactor", num::printForm(s.TABfactor));
    d.add("TABaccuracy", num::printForm(s.TABaccuracy));
    d.add("gridextension", num::printForm(s.gridextension));
    d.add(kLineLabeltext);
    d.add("Gridfile", s.Gridfile);
    d.add("ICSseedfile", s.ICSseedfile);
    d.add("ICSrefscale", s.ICSrefscale);
    d.add("ICSrefpoint", s.ICSrefpoint);
    d.add("View_direction", s.View_direction);
    d.add("ICSmacro", s.ICSmacro);
    d.add("Iparmfile", s.IParmfile);
    d.add("IPlotque1", s.IPlotque1);
    d.add("IPlotque2", s.IPlotque2);
    d.add("IPlotque3", s.IPlotque3);
    d.add("IPlotque4", s.IPlotque4);
    d.add("IPlotque5", s.IPlotque5);
    d.add("I3Dseedfile", s.I3Dseedfile);
    d.add("I3Drefscale", s.I3Drefscale);
    d.add("I3Drefpoint", s.I3Drefpoint);
}

std::vector<std::string> configurationDump(const RunState& s) {
    Dump d(s);
    d.addLine("");
    d.addLine("======== Begin Variable from INI-File ==========");
    d.add("inifile", s.inifile);
    dumpOptionsAndOverview(s, d);
    dumpSheetsAndPlots(s, d);
    d.addLine("======== End Variable from INI-File ============");
    return d.lines();
}

// The text values that never reach a key-in: folders, the level-change switch, numbers read
// with Val, the line labels, and what only commands and the plot list use. Every other text value
// goes into key-ins as it stands, the seeds among them (their copies are opened in MicroStation).
bool neverInKeyin(const std::string& key) {
    static const char* const kKeys[] = {"isopath",        "autochangelevel", "TABlineheight",
                                        "TABlinespacing", "LineLabelpoint",  "Gridfile",
                                        "IParmfile",      "IPlotque1",       "IPlotque2",
                                        "IPlotque3",      "IPlotque4",       "IPlotque5"};
    return std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys);
}

// Error 1 naming the INI file, section, key and value, written to the log and the error list.
void checkKeyinValue(const std::string& section, const std::string& key, const std::string& value) {
    const std::string& ini = Variablen().inifile;
    try {
        mstn::keyinSafe(value, "value of [" + section + "] " + key);
    } catch (const Error& e) {
        LOGModule::WriteLog(e.description(), ini);
        throw;
    }
}

}  // namespace

void checkKeyinValues() {
    const RunState& s = Variablen();
    auto check = [&](const TextKey& key) {
        if (!neverInKeyin(key.key)) checkKeyinValue(key.section, key.key, s.*key.member);
    };
    for (const TextKey& key : kSeedKeys) check(key);
    for (const TextKey& key : kPipeKeys) check(key);
    for (const TextKey& key : kTablePointKeys) check(key);
    for (const TextKey& key : kSheetKeys) check(key);
    for (const TextGroup* group : {&kLENtext, &kI3DLENtext, &kTABtext}) {
        for (size_t i = 0; i < kTextSuffixes.size(); ++i) {
            checkKeyinValue(group->section, std::string(group->prefix) + kTextSuffixes[i],
                            s.*group->members[i]);
        }
    }
    for (const char* key : {"CELFile", "CellName"}) {
        checkKeyinValue("Cell", key, text::trim(ReadINI(s.inifile, "Cell", key, "")));
    }
}

std::string pointerIniFile(const std::filesystem::path& programFolder) {
    return (programFolder / "vtl.ini").string();
}

std::string pointerIniFile() {
    return pointerIniFile(env::programFolder());
}

std::string iniFileNamedBy(const std::string& ini) {
    return ReadINI(ini, "Programm", "inifile", ini);
}

void ReadINIVariables() {
    RunState& s = Variablen();
    readConfiguration(s.inifile, s);
    LOGModule::appendLines(s.logfile, configurationDump(s));
}

void setOptionBox(int16_t ConfigData::*box, int16_t value) {
    setBox(Variablen(), box, value);
}

}  // namespace vtl

#include "StoredState.h"

#include <array>
#include <optional>

#include "Keyins.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace {

const dgn::Record* stateRecord(const dgn::DesignFile& design) {
    for (const dgn::Record& record : design.records()) {
        const dgn::Element& e = record.element;
        if (!e.deleted && !record.component && std::holds_alternative<dgn::AppDataBody>(e.body)) {
            return &record;
        }
    }
    return nullptr;
}

void readWhole(const StoredState& state, const WholeSetting& setting, int& value) {
    auto it = state.find(setting.stored);
    if (it == state.end()) return;
    std::optional<int32_t> number = num::parseWhole32(it->second);
    if (number && *number >= setting.low && *number <= setting.high) value = *number;
}

void readSize(const StoredState& state, const char* key, double& value) {
    auto it = state.find(key);
    if (it == state.end()) return;
    std::optional<double> number = num::parseDecimal(it->second);
    if (number && *number > 0) value = *number;
}

void readAngle(const StoredState& state, double& value) {
    auto it = state.find("angle");
    if (it == state.end()) return;
    if (std::optional<double> number = num::parseDecimal(it->second)) value = *number;
}

void readJustification(const StoredState& state, int& value) {
    auto it = state.find("justification");
    if (it == state.end()) return;
    std::optional<int32_t> number = num::parseWhole32(it->second);
    if (number && *number >= 0 && *number <= 14) value = *number;
}

void readText(const StoredState& state, const char* key, std::string& value) {
    auto it = state.find(key);
    if (it != state.end()) value = it->second;
}

void readScale(const StoredState& state, std::array<double, 3>& scale) {
    auto it = state.find("scale");
    if (it == state.end()) return;
    std::optional<mstn::Point> read = parsePoint(it->second);
    if (read && read->x > 0 && read->y > 0 && read->z > 0) scale = {read->x, read->y, read->z};
}

}  // namespace

StoredState readState(const dgn::DesignFile& design) {
    StoredState state;
    const dgn::Record* record = stateRecord(design);
    if (!record) return state;
    const dgn::Bytes& payload = std::get<dgn::AppDataBody>(record->element.body).payload;
    for (const std::string& line : text::split(std::string(payload.begin(), payload.end()), '\n')) {
        size_t equals = line.find('=');
        if (equals != std::string::npos) state[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return state;
}

void writeState(dgn::DesignFile& design, const StoredState& state) {
    std::string lines;
    for (const auto& [key, value] : state) lines += key + "=" + value + "\n";
    dgn::Element element = dgn::makeAppData(dgn::Bytes(lines.begin(), lines.end()));
    if (const dgn::Record* record = stateRecord(design)) {
        design.rewrite(record->position, element);
    } else {
        design.append(element);
    }
}

ActiveSettings settingsFrom(const StoredState& state) {
    ActiveSettings s;
    for (const WholeSetting& w : kWholeSettings) readWhole(state, w, s.*w.member);
    readSize(state, "textHeight", s.textHeight);
    readSize(state, "textWidth", s.textWidth);
    readAngle(state, s.angle);
    readJustification(state, s.justification);
    readText(state, "cellLibrary", s.cellLibrary);
    readText(state, "cell", s.cell);
    readScale(state, s.scale);
    return s;
}

void storeSettings(StoredState& state, const ActiveSettings& s) {
    for (const WholeSetting& w : kWholeSettings) state[w.stored] = num::text(s.*w.member);
    state["textHeight"] = num::text(s.textHeight);
    state["textWidth"] = num::text(s.textWidth);
    state["angle"] = num::text(s.angle);
    state["justification"] = num::text(s.justification);
    state["cellLibrary"] = s.cellLibrary;
    state["cell"] = s.cell;
    state["scale"] =
        num::text(s.scale[0]) + "," + num::text(s.scale[1]) + "," + num::text(s.scale[2]);
}

std::array<bool, dgn::kHeaderViews> viewFillsFrom(const StoredState& state) {
    std::array<bool, dgn::kHeaderViews> fills;
    fills.fill(true);
    auto it = state.find("viewFill");
    if (it == state.end()) return fills;
    for (size_t v = 0; v < fills.size() && v < it->second.size(); ++v)
        fills[v] = it->second[v] != '0';
    return fills;
}

void storeViewFills(StoredState& state, const std::array<bool, dgn::kHeaderViews>& fills) {
    std::string text;
    for (bool fill : fills) text += fill ? '1' : '0';
    state["viewFill"] = text;
}

}  // namespace vtl::ustation

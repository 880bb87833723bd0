#include "KeyinTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <optional>

#include "EditText.h"
#include "FenceOperations.h"
#include "Keyins.h"
#include "LocateCommand.h"
#include "MdlApplications.h"
#include "PlaceLine.h"
#include "PlaceLineString.h"
#include "PlaceNode.h"
#include "PlaceText.h"
#include "ReferenceKeyins.h"
#include "SelectElements.h"
#include "SessionApplication.h"
#include "TextGeometry.h"
#include "ViewKeyins.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace {

using Run = std::function<void(SessionApplication&, const std::string& argument)>;

// A command phrase; one that takes an argument gets the rest of the key-in as written.
struct Phrase {
    const char* words;
    bool takesRest;
    Run run;
};

template <class T>
Run start() {
    return [](SessionApplication& s, const std::string&) {
        s.startCommand(std::make_unique<T>(s.drawing()));
    };
}

Run call(void (SessionApplication::*member)()) {
    return [member](SessionApplication& s, const std::string&) { (s.*member)(); };
}

Run call(void (SessionApplication::*member)(const std::string&)) {
    return [member](SessionApplication& s, const std::string& a) { (s.*member)(a); };
}

void invalid(SessionApplication& session, const std::string& keyin, const std::string& why) {
    session.journal().note("key-in ignored, " + why + ": " + keyin);
}

// "ACTIVE TXJ CC": the justification of the texts placed next.
void setJustification(SessionApplication& session, const std::string& name) {
    const int code = justificationCode(name);
    if (code < 0) {
        invalid(session, "ACTIVE TXJ " + name, "no such justification");
        return;
    }
    session.active().justification = code;
}

// The fence commands work on the session's fence rather than the drawing alone.
template <class T>
Run startFenceCommand() {
    return
        [](SessionApplication& s, const std::string&) { s.startCommand(std::make_unique<T>(s)); };
}

Run startFenceAction(FenceAction action) {
    return [action](SessionApplication& s, const std::string&) {
        s.startCommand(std::make_unique<FenceOperation>(s, action));
    };
}

// "lock fence void overlap": which elements the fence operations take.
void lockFence(SessionApplication& session, const std::string& mode) {
    if (std::optional<FenceMode> lock = fenceMode(mode)) {
        session.fence().mode = *lock;
    } else {
        session.journal().unknownKeyin("lock fence " + mode);
    }
}

const std::vector<Phrase>& phrases() {
    static const std::vector<Phrase> table = {
        {"null", false, call(&SessionApplication::endCommand)},
        {"reset", false, call(&SessionApplication::reset)},
        {"place lstring", false, start<PlaceLineString>()},
        {"place line", false, start<PlaceLine>()},
        {"place text", false, start<PlaceText>()},
        {"place node", false, start<PlaceNode>()},
        {"newfile", true, call(&SessionApplication::openDesign)},
        {"macro", true, call(&SessionApplication::runMacroFile)},
        {"exit", false, call(&SessionApplication::requestQuit)},
        {"file", false, call(&SessionApplication::saveDesign)},
        {"filedesign", false, call(&SessionApplication::saveDesign)},
        {"file design", false, call(&SessionApplication::saveDesign)},
        {"save design", false, call(&SessionApplication::saveDesign)},
        {"compress", false, call(&SessionApplication::compressDesign)},
        {"compress design", false, call(&SessionApplication::compressDesign)},
        {"active txj", true, setJustification},
        {"attach library", true, call(&SessionApplication::attachLibrary)},
        {"active cell", true, call(&SessionApplication::activateCell)},
        {"select", false, start<SelectElements>()},
        {"fit all", false, [](SessionApplication& s, const std::string&) { fitAll(s); }},
        {"zoom out extended", true,
         [](SessionApplication& s, const std::string& view) { zoomOutExtended(s, view); }},
        // Names the view a view command acts on.
        {"selview", true, call(&SessionApplication::selectView)},
        {"view", true, viewKeyin},
        // Arranges the view windows on the screen, which the stand-in's window does not split.
        {"window arrange", false, [](SessionApplication&, const std::string&) {}},
        // Draws the views anew; the window shows the drawing as it is after every change.
        {"update all", false,
         [](SessionApplication& s, const std::string&) { s.drawing().changed(); }},
        {"save view", true, saveViewKeyin},
        {"set weight", true,
         [](SessionApplication& s, const std::string& a) { setViewAttribute(s, "weight", a); }},
        {"set fill", true,
         [](SessionApplication& s, const std::string& a) { setViewAttribute(s, "fill", a); }},
        {"reference detach", true, detachReference},
        {"reference locate", true, referenceLocate},
        {"lock fence", true, lockFence},
        {"place fence", false, startFenceCommand<PlaceFence>()},
        {"place fence allfiles", false,
         [](SessionApplication& s, const std::string&) { placeFenceOverView(s); }},
        {"fence change unlock", false, startFenceAction(FenceAction::ChangeUnlock)},
        {"fence delete", false, startFenceAction(FenceAction::Delete)},
        {"fence copy", false, startFenceCommand<FenceCopy>()},
        {"set parseall", true, call(&SessionApplication::setParseAll)},
        {"choose all", false, call(&SessionApplication::chooseAll)},
        {"choose none", false, call(&SessionApplication::chooseNone)},
        {"change level", false, call(&SessionApplication::changeLevel)},
        {"match element", false, start<MatchElement>()},
        {"delete element", false, call(&SessionApplication::deleteElement)},
        {"edit text", false, start<EditText>()},
        {"mdl silentload", true, call(&SessionApplication::loadApplication)},
        {"mdl", true, runMdl},
        {"selectby", true, runSelectBy},
        {"mbe1 closemodal", true, call(&SessionApplication::closeModalDialog)},
    };
    return table;
}

// The key-in after its first n words, as written.
std::string restAfterWords(const std::string& keyin, size_t words) {
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < keyin.size() && std::isspace(static_cast<unsigned char>(keyin[i]))) ++i;
    };
    for (size_t w = 0; w < words; ++w) {
        skipBlanks();
        while (i < keyin.size() && !std::isspace(static_cast<unsigned char>(keyin[i]))) ++i;
    }
    skipBlanks();
    return keyin.substr(i);
}

bool runPhrase(SessionApplication& session, const std::string& keyin) {
    const std::string phrase = phraseOf(keyin);
    for (const Phrase& p : phrases()) {
        const std::string words = p.words;
        if (phrase == words) {
            p.run(session, "");
            return true;
        }
        if (p.takesRest && phrase.starts_with(words + " ")) {
            size_t count = 1 + static_cast<size_t>(std::count(words.begin(), words.end(), ' '));
            p.run(session, restAfterWords(keyin, count));
            return true;
        }
    }
    return false;
}

// "as=X" sets the active scale in x, y and z; "as=X,Y" sets x and y.
void setScale(SessionApplication& session, const std::string& keyin, const std::string& value) {
    const size_t count = 1 + static_cast<size_t>(std::count(value.begin(), value.end(), ','));
    std::optional<mstn::Point> scale = parsePoint(value);
    if (!scale || count > 2 || scale->x <= 0 || (count == 2 && scale->y <= 0)) {
        invalid(session, keyin, "the scale is not one or two positive numbers");
        return;
    }
    std::array<double, 3>& active = session.active().scale;
    active = count == 1 ? std::array<double, 3>{scale->x, scale->x, scale->x}
                        : std::array<double, 3>{scale->x, scale->y, active[2]};
}

// The long forms of settings: "active color=3" is "co=3".
constexpr std::pair<const char*, const char*> kLongForms[] = {
    {"active color", "co"}, {"active weight", "wt"}, {"active style", "lc"}, {"active level", "lv"},
    {"active angle", "aa"}, {"active font", "ft"},   {"active scale", "as"}};

std::optional<Assignment> settingOf(const std::string& keyin) {
    if (std::optional<Assignment> a = assignmentOf(keyin)) return a;
    const size_t equals = keyin.find('=');
    if (equals == std::string::npos) return {};
    const std::string name = phraseOf(keyin.substr(0, equals));
    for (const auto& [longForm, shortForm] : kLongForms) {
        if (name == longForm)
            return Assignment{shortForm, text::trimSpace(keyin.substr(equals + 1))};
    }
    return {};
}

bool runDecimal(SessionApplication& session, const std::string& keyin, const Assignment& a) {
    for (const DecimalSetting& s : kDecimalSettings) {
        if (a.name != s.keyin) continue;
        std::optional<double> value = num::parseDecimal(a.value);
        if (!value || (s.positive && *value <= 0)) {
            invalid(session, keyin,
                    s.positive ? "the value is not a positive number" : "not a number");
        } else {
            s.apply(session.active(), *value);
        }
        return true;
    }
    return false;
}

bool runAssignment(SessionApplication& session, const std::string& keyin) {
    std::optional<Assignment> a = settingOf(keyin);
    if (!a) return false;
    if (runDecimal(session, keyin, *a)) return true;
    if (a->name == "as") {
        setScale(session, keyin, a->value);
        return true;
    }
    if (a->name == "rf") {
        session.startCommand(std::make_unique<AttachReference>(session, a->value));
        return true;
    }
    if (a->name == "on" || a->name == "of") {
        levelDisplay(session, a->value, a->name == "on");
        return true;
    }
    if (a->name == "xy" || a->name == "dx") {
        std::optional<mstn::Point> point = parsePoint(a->value);
        if (!point) {
            invalid(session, keyin, "not a point");
        } else if (a->name == "xy") {
            session.dataPoint(*point);
        } else {
            session.relativeDataPoint(*point);
        }
        return true;
    }
    for (const WholeSetting& s : kWholeSettings) {
        if (a->name != s.keyin) continue;
        std::optional<int32_t> value = num::parseWhole32(a->value);
        if (!value || *value < s.low || *value > s.high) {
            invalid(session, keyin,
                    "the value is not a whole number from " + std::to_string(s.low) + " to " +
                        std::to_string(s.high));
        } else {
            session.active().*s.member = *value;
        }
        return true;
    }
    return false;
}

}  // namespace

bool runKnownKeyin(SessionApplication& session, const std::string& keyin) {
    return runAssignment(session, keyin) || runPhrase(session, keyin);
}

}  // namespace vtl::ustation

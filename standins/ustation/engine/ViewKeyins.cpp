#include "ViewKeyins.h"

#include <optional>

#include "Keyins.h"
#include "SessionApplication.h"
#include "Views.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "dgn/Attachments.h"

namespace vtl::ustation {

namespace {

constexpr int kViews = static_cast<int>(dgn::kHeaderViews);

dgn::ViewInfo& viewOf(SessionApplication& session, int view) {
    return session.views()[static_cast<size_t>(view - 1)];
}

// "view on 2", "view off all".
bool switchViews(SessionApplication& session, const std::string& words) {
    const bool on = words.starts_with("on ");
    if (!on && !words.starts_with("off ")) return false;
    const std::string which = words.substr(on ? 3 : 4);
    const std::optional<int32_t> number = num::parseWhole32(which);
    if (which != "all" && (!number || *number < 1 || *number > kViews)) return false;
    for (int view = 1; view <= kViews; ++view) {
        if (which != "all" && view != *number) continue;
        uint16_t& flags = viewOf(session, view).flags;
        flags = static_cast<uint16_t>(on ? flags | dgn::kViewOn : flags & ~dgn::kViewOn);
    }
    return true;
}

void rotateViews(SessionApplication& session, const std::string& direction) {
    const std::optional<dgn::Matrix3> rotation = standardRotation(direction);
    dgn::DesignFile* file = session.design();
    if (!rotation || !file) {
        session.journal().unknownKeyin("view " + direction);
        return;
    }
    if (file->dimension() == dgn::Dimension::Two && *rotation != dgn::kIdentity) {
        session.journal().note("key-in ignored, a 2-D view only looks from the top: view " +
                               direction);
        return;
    }
    session.startViewCommand("view " + direction, [&session, r = *rotation](int view) {
        viewOf(session, view).rotation = r;
    });
}

}  // namespace

void viewKeyin(SessionApplication& session, const std::string& rest) {
    const std::string words = phraseOf(rest);
    if (switchViews(session, words)) return;
    rotateViews(session, words);
}

void fitAll(SessionApplication& session) {
    session.startViewCommand("fit all", [&session](int view) {
        if (const dgn::DesignFile* file = session.design()) fitView(viewOf(session, view), *file);
    });
}

void zoomOutExtended(SessionApplication& session, const std::string& view) {
    constexpr double kZoomRatio = 2;
    auto zoom = [&session](int v) { zoomView(viewOf(session, v), kZoomRatio); };
    const std::string which = text::trim(view);
    if (which.empty()) {
        session.startViewCommand("zoom out extended", zoom);
        return;
    }
    const std::optional<int32_t> number = num::parseWhole32(which);
    if (!number || *number < 1 || *number > kViews) {
        session.journal().unknownKeyin("zoom out extended " + view);
        return;
    }
    zoom(*number);
}

void saveViewKeyin(SessionApplication& session, const std::string& nameAndDescription) {
    const size_t comma = nameAndDescription.find(',');
    dgn::SavedViewBody saved;
    saved.name = text::upper(text::trim(nameAndDescription.substr(0, comma)));
    if (comma != std::string::npos) {
        saved.description = text::upper(text::trim(nameAndDescription.substr(comma + 1)));
    }
    session.startViewCommand("save view " + saved.name, [&session, saved](int view) mutable {
        dgn::DesignFile* file = session.design();
        if (!file) return;
        saved.views = {viewOf(session, view)};
        try {
            dgn::saveView(*file, saved);
        } catch (const Error& e) {
            session.journal().note("view not saved as " + saved.name + ": " + e.description());
        }
    });
}

void levelDisplay(SessionApplication& session, const std::string& levels, bool on) {
    const std::optional<std::bitset<64>> which = parseLevels(levels);
    if (!which) {
        session.journal().note(std::string("key-in ignored, not a list of levels from 1 to 63: ") +
                               (on ? "on=" : "of=") + levels);
        return;
    }
    session.startViewCommand(on ? "on=" : "of=", [&session, w = *which, on](int view) {
        showLevels(viewOf(session, view).levels, w, on);
    });
}

void setViewAttribute(SessionApplication& session, const std::string& attribute,
                      const std::string& state) {
    const std::string value = text::lower(text::trim(state));
    if (value != "on" && value != "off" && value != "toggle") {
        session.journal().unknownKeyin("set " + attribute + " " + state);
        return;
    }
    auto turn = [value](bool now) { return value == "toggle" ? !now : value == "on"; };
    if (attribute == "weight") {
        session.startViewCommand("set weight", [&session, turn](int view) {
            uint16_t& flags = viewOf(session, view).flags;
            flags =
                static_cast<uint16_t>(turn(flags & kViewLineWeights) ? flags | kViewLineWeights
                                                                     : flags & ~kViewLineWeights);
        });
    } else {
        session.startViewCommand("set fill", [&session, turn](int view) {
            bool& fill = session.viewFills()[static_cast<size_t>(view - 1)];
            fill = turn(fill);
        });
    }
}

}  // namespace vtl::ustation

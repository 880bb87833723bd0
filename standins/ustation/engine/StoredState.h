// The state V7 has no public encoding for (the active settings now; later views and
// attachments), kept as "key=value" lines in the stand-in's own application element.
#pragma once

#include <array>
#include <map>
#include <string>

#include "ActiveSettings.h"
#include "dgn/DesignFile.h"

namespace vtl::ustation {

using StoredState = std::map<std::string, std::string>;

// The state the file holds; empty when it has no application element of the stand-in.
StoredState readState(const dgn::DesignFile& design);
// Writes the state into the application element, rewriting it or appending a new one.
void writeState(dgn::DesignFile& design, const StoredState& state);

// The active settings in the state, defaults for what it lacks or cannot be read.
ActiveSettings settingsFrom(const StoredState& state);
void storeSettings(StoredState& state, const ActiveSettings& settings);

// Whether each view shows fills ("1" or "0" per view): on unless stored off.
std::array<bool, dgn::kHeaderViews> viewFillsFrom(const StoredState& state);
void storeViewFills(StoredState& state, const std::array<bool, dgn::kHeaderViews>& fills);

}  // namespace vtl::ustation

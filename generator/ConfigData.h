// The configuration values of the run state, as read from the configuration INI.
#pragma once

namespace vtl {

struct ConfigData {
};

}  // namespace vtl

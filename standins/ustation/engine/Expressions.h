// The C expressions MbeCExpressionLong evaluates: fields of elements published by name, such as
// "elem.currentPosition->el.text_node_2d.nodenumber". Any other expression is an automation
// error.
#pragma once

#include <cstdint>
#include <string>

#include "Workspace.h"

namespace vtl::ustation {

int32_t evaluateLong(const std::string& expression, const Workspace& workspace);

}  // namespace vtl::ustation

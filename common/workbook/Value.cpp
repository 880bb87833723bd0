#include "workbook/Value.h"

#include "core/Numbers.h"

namespace vtl::ado {

std::string Value::asText() const {
    if (isText()) return text();
    if (isNumber()) return num::text(number());
    return {};
}

}  // namespace vtl::ado

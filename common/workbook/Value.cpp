#include "workbook/Value.h"

#include "core/Numbers.h"
#include "workbook/Dates.h"

namespace vtl::ado {

std::string Value::asText() const {
    if (isText()) return text();
    if (isNumber()) return num::text(number());
    if (isDate()) return workbook::dateText(date());
    return {};
}

}  // namespace vtl::ado

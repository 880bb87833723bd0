// The rows a recordset holds, and the field definitions with ADO's numbers for them.
#pragma once

#include <string>
#include <vector>

#include "workbook/Value.h"

namespace vtl::ado {

// Field types (DataTypeEnum).
inline constexpr long adInteger = 3;
inline constexpr long adDouble = 5;
inline constexpr long adVarWChar = 202;

struct FieldInfo {
    std::string name;
    long type = adVarWChar;
    long definedSize = 0;  // characters of a text field; 0 for no limit
    long attributes = 0;
    bool operator==(const FieldInfo&) const = default;
};

using Row = std::vector<Value>;

struct Table {
    std::vector<FieldInfo> fields;
    std::vector<Row> rows;  // each with one value per field
};

}  // namespace vtl::ado

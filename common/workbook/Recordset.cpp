#include "workbook/Recordset.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "core/Numbers.h"
#include "core/Text.h"
#include "workbook/Condition.h"
#include "workbook/JetProvider.h"

namespace vtl::ado {

Error adoError(long number) {
    static const std::map<long, std::string> descriptions = {
        {adoerr::WrongArguments,
         "Arguments are of the wrong type, are out of acceptable range, or are in conflict with "
         "one another."},
        {adoerr::NoCurrentRecord,
         "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
         "requires a current record."},
        {adoerr::NotAllowedInContext, "Operation is not allowed in this context."},
        {adoerr::ItemNotFound,
         "Item cannot be found in the collection corresponding to the requested name or "
         "ordinal."},
        {adoerr::AlreadyInCollection, "Object is already in collection. Cannot append."},
        {adoerr::ObjectClosed, "Operation is not allowed when the object is closed."},
        {adoerr::ObjectOpen, "Operation is not allowed when the object is open."},
        {adoerr::ProviderNotFound, "Provider cannot be found. It may not be properly installed."},
        {adoerr::ConnectionInvalid,
         "The connection cannot be used to perform this operation. It is either closed or "
         "invalid in this context."},
        {adoerr::MultipleStep,
         "Multiple-step operation generated errors. Check each status value."},
    };
    const auto found = descriptions.find(number);
    return Error(number, "ADODB.Recordset", found == descriptions.end() ? "" : found->second);
}

namespace {

bool isText(long type) {
    return type == adVarWChar;
}

// A value as the field stores it: texts within the defined size, numbers as numbers.
Value stored(const FieldInfo& field, const Value& value) {
    if (value.isEmpty() || value.isNull()) return Value::null();
    if (isText(field.type)) {
        std::string t = value.asText();
        const long length = static_cast<long>(text::characters(t).size());
        if (field.definedSize > 0 && length > field.definedSize)
            throw adoError(adoerr::MultipleStep);
        return Value(std::move(t));
    }
    const std::optional<double> n = value.isNumber() ? std::optional<double>(value.number())
                                    : value.isDate() ? std::optional<double>(value.date())
                                                     : num::parseNumber(value.text());
    if (!n) throw adoError(adoerr::MultipleStep);
    return Value(field.type == adInteger ? static_cast<double>(num::toLong(*n)) : *n);
}

}  // namespace

// --- Fields ------------------------------------------------------------------------------------

const std::string& FieldRef::Name() const {
    return rs_.fields_[index_].name;
}
long FieldRef::Type() const {
    return rs_.fields_[index_].type;
}
long FieldRef::DefinedSize() const {
    return rs_.fields_[index_].definedSize;
}
const Value& FieldRef::Value() const {
    rs_.requireCurrent();
    return rs_.rows_[rs_.shown_[rs_.position_]][index_];
}

long FieldList::Count() const {
    return static_cast<long>(rs_.fields_.size());
}

FieldRef FieldList::Item(long index) const {
    if (index < 0 || index >= Count()) throw adoError(adoerr::ItemNotFound);
    return FieldRef(rs_, static_cast<size_t>(index));
}

FieldRef FieldList::Item(const std::string& name) const {
    const int index = rs_.fieldIndex(name);
    if (index < 0) throw adoError(adoerr::ItemNotFound);
    return FieldRef(rs_, static_cast<size_t>(index));
}

void FieldList::Append(const std::string& name, long type, long definedSize, long attributes) {
    if (rs_.open_) throw adoError(adoerr::NotAllowedInContext);
    if (type != adInteger && type != adDouble && type != adVarWChar) {
        throw adoError(adoerr::WrongArguments);
    }
    if (name.empty() || definedSize < 0) throw adoError(adoerr::WrongArguments);
    if (rs_.fieldIndex(name) >= 0) throw adoError(adoerr::AlreadyInCollection);
    rs_.fields_.push_back({name, type, definedSize, attributes});
}

// --- Recordset ---------------------------------------------------------------------------------

void Recordset::setCursorLocation(long location) {
    if (open_) throw adoError(adoerr::ObjectOpen);
    if (location != adUseServer && location != adUseClient) throw adoError(adoerr::WrongArguments);
    cursorLocation_ = location;
}

void Recordset::Open() {
    if (open_) throw adoError(adoerr::ObjectOpen);
    if (fields_.empty()) throw adoError(adoerr::ConnectionInvalid);
    load(Table{fields_, {}});
}

void Recordset::Open(const std::string& source, const std::string& connection, long, long, long) {
    if (open_) throw adoError(adoerr::ObjectOpen);
    if (source.empty() && connection.empty()) return Open();
    if (connection.empty()) throw adoError(adoerr::ConnectionInvalid);
    load(jet::openCommand(connection, source));
    connection_ = connection;
}

void Recordset::load(Table table) {
    fields_ = std::move(table.fields);
    rows_ = std::move(table.rows);
    indexes_.clear();
    conditions_.clear();
    open_ = true;
    showAll();
}

void Recordset::setActiveConnection(std::nullptr_t) {
    if (open_ && !connection_.empty() && cursorLocation_ != adUseClient) {
        throw adoError(adoerr::ObjectOpen);
    }
    connection_.clear();
}

void Recordset::Close() {
    requireOpen();
    open_ = false;
    connection_.clear();
    fields_.clear();
    rows_.clear();
    indexes_.clear();
    conditions_.clear();
    filter_.clear();
    shown_.clear();
    position_ = 0;
}

void Recordset::AddNew(const std::vector<std::string>& names, const std::vector<Value>& values) {
    requireOpen();
    if (names.size() != values.size()) throw adoError(adoerr::WrongArguments);
    Row row(fields_.size(), Value::null());
    for (size_t i = 0; i < names.size(); ++i) {
        const int index = fieldIndex(names[i]);
        if (index < 0) throw adoError(adoerr::ItemNotFound);
        row[index] = stored(fields_[index], values[i]);
    }
    rows_.push_back(std::move(row));
    indexes_.clear();
    shown_.push_back(rows_.size() - 1);
    position_ = static_cast<long>(shown_.size()) - 1;
}

void Recordset::setFilter(const std::string& condition) {
    requireOpen();
    if (condition.empty()) return showAll();
    const Condition& filter = parsed(condition);
    shown_.clear();
    if (const auto& equality = filter.requiredEquality()) {
        for (size_t i : candidates(equality->field, equality->text)) {
            if (filter.holds(rows_[i])) shown_.push_back(i);
        }
    } else {
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (filter.holds(rows_[i])) shown_.push_back(i);
        }
    }
    filter_ = condition;
    position_ = 0;
}

const Condition& Recordset::parsed(const std::string& condition) {
    constexpr size_t kKeptConditions = 4096;
    if (auto found = conditions_.find(condition); found != conditions_.end()) return found->second;
    if (conditions_.size() >= kKeptConditions) conditions_.clear();
    try {
        Condition made =
            Condition::parse(condition, [this](std::string_view n) { return fieldIndex(n); });
        return conditions_.emplace(condition, std::move(made)).first->second;
    } catch (const ConditionError&) {
        throw adoError(adoerr::WrongArguments);
    }
}

std::vector<size_t> Recordset::candidates(int field, const std::string& text) {
    auto [entry, made] = indexes_.try_emplace(field);
    FieldIndex& index = entry->second;
    if (made) {
        for (size_t i = 0; i < rows_.size(); ++i) {
            const Value& v = rows_[i][static_cast<size_t>(field)];
            if (v.isNumber()) index.numbers[v.number()].push_back(i);
            if (!v.isNull() && !v.isEmpty()) index.texts[textKey(v.asText())].push_back(i);
        }
    }
    std::vector<size_t> rows;
    if (auto t = index.texts.find(textKey(text)); t != index.texts.end()) rows = t->second;
    // A numeric text equals a number of the same value.
    if (const std::optional<double> n = num::parseDecimal(text)) {
        if (auto m = index.numbers.find(*n); m != index.numbers.end()) {
            std::vector<size_t> both;
            std::set_union(rows.begin(), rows.end(), m->second.begin(), m->second.end(),
                           std::back_inserter(both));
            rows = std::move(both);
        }
    }
    return rows;
}

void Recordset::setFilter(long group) {
    requireOpen();
    if (group != adFilterNone) throw adoError(adoerr::WrongArguments);
    showAll();
}

void Recordset::showAll() {
    filter_.clear();
    shown_.resize(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) shown_[i] = i;
    position_ = 0;
}

long Recordset::RecordCount() const {
    requireOpen();
    return static_cast<long>(shown_.size());
}

bool Recordset::BOF() const {
    requireOpen();
    return shown_.empty() || position_ < 0;
}

bool Recordset::EOF_() const {
    requireOpen();
    return shown_.empty() || position_ >= static_cast<long>(shown_.size());
}

void Recordset::MoveFirst() {
    requireOpen();
    if (shown_.empty()) throw adoError(adoerr::NoCurrentRecord);
    position_ = 0;
}

void Recordset::MoveLast() {
    requireOpen();
    if (shown_.empty()) throw adoError(adoerr::NoCurrentRecord);
    position_ = static_cast<long>(shown_.size()) - 1;
}

void Recordset::MoveNext() {
    if (EOF_()) throw adoError(adoerr::NoCurrentRecord);
    ++position_;
}

void Recordset::MovePrevious() {
    if (BOF()) throw adoError(adoerr::NoCurrentRecord);
    --position_;
}

const Value& Recordset::shownValue(long row, size_t field) const {
    return rows_.at(shown_.at(static_cast<size_t>(row))).at(field);
}

void Recordset::requireOpen() const {
    if (!open_) throw adoError(adoerr::ObjectClosed);
}

void Recordset::requireCurrent() const {
    if (BOF() || EOF_()) throw adoError(adoerr::NoCurrentRecord);
}

int Recordset::fieldIndex(std::string_view name) const {
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (text::iequals(fields_[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace vtl::ado

// The ADO recordset the programs drive: a client-side, static table of rows, either built in
// memory (fields appended, opened with no source, rows added) or delivered by the Jet provider
// from a query. Members keep ADO's names; failures raise vtl::Error with ADO's numbers.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Error.h"
#include "workbook/Condition.h"
#include "workbook/Table.h"

namespace vtl::ado {

inline constexpr long adUseServer = 2;
inline constexpr long adUseClient = 3;
inline constexpr long adStateClosed = 0;
inline constexpr long adStateOpen = 1;
inline constexpr long adFilterNone = 0;
inline constexpr long adOpenStatic = 3;
inline constexpr long adLockReadOnly = 1;
inline constexpr long adCmdText = 1;

// ADO's error numbers (ErrorValueEnum) the recordset raises.
namespace adoerr {
inline constexpr long WrongArguments = 3001;
inline constexpr long NoCurrentRecord = 3021;
inline constexpr long NotAllowedInContext = 3219;
inline constexpr long ItemNotFound = 3265;
inline constexpr long AlreadyInCollection = 3367;
inline constexpr long ObjectClosed = 3704;
inline constexpr long ObjectOpen = 3705;
inline constexpr long ProviderNotFound = 3706;
inline constexpr long ConnectionInvalid = 3709;
inline constexpr long MultipleStep = -2147217887;
}  // namespace adoerr

// The error of that number with ADO's description and the source "ADODB.Recordset".
Error adoError(long number);

class Recordset;

class FieldRef {
public:
    const std::string& Name() const;
    long Type() const;
    long DefinedSize() const;
    // The field of the current record; raises 3021 at BOF or EOF.
    const ado::Value& Value() const;

private:
    friend class FieldList;
    FieldRef(const Recordset& rs, size_t index) : rs_(rs), index_(index) {}
    const Recordset& rs_;
    size_t index_;
};

class FieldList {
public:
    long Count() const;
    // By position from 0 or by name (letter case ignored); raises 3265 when there is none.
    FieldRef Item(long index) const;
    FieldRef Item(const std::string& name) const;
    FieldRef operator()(long index) const { return Item(index); }
    FieldRef operator()(const std::string& name) const { return Item(name); }
    // Defines a field of a recordset that is not open yet.
    void Append(const std::string& name, long type, long definedSize = 0, long attributes = 0);

private:
    friend class Recordset;
    explicit FieldList(Recordset& rs) : rs_(rs) {}
    Recordset& rs_;
};

class Recordset {
public:
    long CursorLocation() const { return cursorLocation_; }
    void setCursorLocation(long location);

    // An in-memory recordset of the appended fields, without rows.
    void Open();
    // The rows of a command text through the provider that the connection string names.
    void Open(const std::string& source, const std::string& connection, long cursorType = -1,
              long lockType = -1, long options = -1);
    // The connection string while connected; "" once set to nothing.
    const std::string& ActiveConnection() const { return connection_; }
    // Setting the connection to nothing cuts a client-side recordset off; its rows stay.
    void setActiveConnection(std::nullptr_t);
    long State() const { return open_ ? adStateOpen : adStateClosed; }
    // Closes the recordset and drops its rows and fields.
    void Close();

    FieldList Fields() { return FieldList(*this); }
    const FieldList Fields() const { return FieldList(const_cast<Recordset&>(*this)); }
    // Adds a record with the named fields set (the others Null) and makes it current.
    void AddNew(const std::vector<std::string>& names, const std::vector<Value>& values);

    // The filter text, "" when none is set.
    const std::string& Filter() const { return filter_; }
    // Shows only the rows that meet the condition, the current row on the first of them in
    // source order; "" shows every row again.
    void setFilter(const std::string& condition);
    // adFilterNone (0) shows every row again.
    void setFilter(long group);
    // The rows the filter shows.
    long RecordCount() const;

    bool BOF() const;
    // ADO's EOF (the name itself is the C library's macro).
    bool EOF_() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();

    // A value of the shown row at position row (from 0) without moving, for views of the rows.
    const Value& shownValue(long row, size_t field) const;

private:
    friend class FieldRef;
    friend class FieldList;
    void requireOpen() const;
    void requireCurrent() const;
    int fieldIndex(std::string_view name) const;
    void showAll();
    void load(Table table);
    // The rows whose field may equal the text, in source order: a superset of those that do.
    std::vector<size_t> candidates(int field, const std::string& text);

    // A field's rows by the key of their values, made by the first filter that looks a text up
    // in that field and dropped when the rows change: a lookup per row of a large table then
    // costs the same as in a small one.
    struct FieldIndex {
        std::unordered_map<std::string, std::vector<size_t>> texts;  // by textKey; numbers too
        std::unordered_map<double, std::vector<size_t>> numbers;
    };
    std::map<int, FieldIndex> indexes_;
    // Filters by their text, parsed once while the fields stay: a lookup per text of a drawing
    // sets the same few filters thousands of times. Bounded, as the texts are not.
    std::unordered_map<std::string, Condition> conditions_;
    const Condition& parsed(const std::string& condition);

    long cursorLocation_ = adUseServer;
    bool open_ = false;
    std::string connection_;
    std::vector<FieldInfo> fields_;
    std::vector<Row> rows_;
    std::string filter_;
    std::vector<size_t> shown_;  // the rows the filter shows, in source order
    long position_ = 0;          // in shown_: -1 before the first, size() after the last
};

}  // namespace vtl::ado

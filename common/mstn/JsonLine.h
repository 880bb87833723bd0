// Compact JSON written and read directly. Requests cross the wire by the thousand in a bulk
// step, and going through QJsonDocument and QJsonObject cost more than the rest of each call;
// these produce and accept the same JSON.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vtl::mstn::json {

void appendString(QByteArray& out, const QString& text);
void appendValue(QByteArray& out, const QJsonValue& value);
void appendArray(QByteArray& out, const QJsonArray& array);
void appendObject(QByteArray& out, const QJsonObject& object);

// Reads one JSON text. Every member returns false (or nothing) on text that is not JSON of the
// kind asked for; the reader is then of no further use.
class Reader {
public:
    explicit Reader(const QByteArray& text)
        : at_(text.constData()), end_(text.constData() + text.size()) {}

    // Reads an object; member is called with each key, the reader standing at its value, and
    // reads that value.
    bool object(const std::function<bool(const std::string& key)>& member);
    // Reads an array; item is called at each element and reads it.
    bool array(const std::function<bool()>& item);
    bool string(std::string& text);
    bool integer(int64_t& number);
    bool integer(int32_t& number);
    bool boolean(bool& value);
    std::optional<QJsonValue> value();
    // Whether nothing but blanks is left.
    bool atEnd();

private:
    bool take(char c);
    char peek();
    std::optional<double> number();
    bool literal(const char* word);
    bool escape(std::string& text);
    std::optional<QJsonValue> elements();
    std::optional<QJsonValue> members();

    const char* at_;
    const char* end_;
    int depth_ = 0;
};

}  // namespace vtl::mstn::json

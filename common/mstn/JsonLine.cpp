#include "mstn/JsonLine.h"

#include <QJsonObject>
#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/Text.h"

namespace vtl::mstn::json {

namespace {

constexpr char kHex[] = "0123456789abcdef";
// Beyond this, JSON numbers lose whole units as doubles.
constexpr double kExactIntegers = 9007199254740992.0;
constexpr int kMaxDepth = 64;
constexpr std::pair<char, char> kEscapes[] = {{'"', '"'},  {'\\', '\\'}, {'/', '/'},  {'b', '\b'},
                                              {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'}};

}  // namespace

// --- Writing -------------------------------------------------------------------------------------

void appendString(QByteArray& out, const QString& text) {
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendArray(QByteArray& out, const QJsonArray& array) {
    out += '[';
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (i > 0) out += ',';
        appendValue(out, array.at(i));
    }
    out += ']';
}

void appendObject(QByteArray& out, const QJsonObject& object) {
    out += '{';
    for (auto member = object.begin(); member != object.end(); ++member) {
        if (member != object.begin()) out += ',';
        appendString(out, member.key());
        out += ':';
        appendValue(out, member.value());
    }
    out += '}';
}

void appendValue(QByteArray& out, const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Bool:
            out += value.toBool() ? "true" : "false";
            break;
        case QJsonValue::Double: {
            const double number = value.toDouble();
            if (!std::isfinite(number)) {
                out += "null";
            } else if (number == std::trunc(number) && std::abs(number) < kExactIntegers) {
                out += QByteArray::number(static_cast<qint64>(number));
            } else {
                out += QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
            }
            break;
        }
        case QJsonValue::String:
            appendString(out, value.toString());
            break;
        case QJsonValue::Array:
            appendArray(out, value.toArray());
            break;
        case QJsonValue::Object:
            appendObject(out, value.toObject());
            break;
        default:
            out += "null";
    }
}

// --- Reading -------------------------------------------------------------------------------------

char Reader::peek() {
    while (at_ < end_ && (*at_ == ' ' || *at_ == '\t' || *at_ == '\r' || *at_ == '\n')) ++at_;
    return at_ < end_ ? *at_ : '\0';
}

bool Reader::take(char c) {
    if (peek() != c) return false;
    ++at_;
    return true;
}

bool Reader::atEnd() {
    return peek() == '\0' && at_ == end_;
}

bool Reader::literal(const char* word) {
    const size_t length = std::strlen(word);
    if (peek() == '\0' || static_cast<size_t>(end_ - at_) < length ||
        std::memcmp(at_, word, length) != 0) {
        return false;
    }
    at_ += length;
    return true;
}

bool Reader::object(const std::function<bool(const std::string& key)>& member) {
    if (!take('{') || ++depth_ > kMaxDepth) return false;
    if (!take('}')) {
        do {
            std::string key;
            if (!string(key) || !take(':') || !member(key)) return false;
        } while (take(','));
        if (!take('}')) return false;
    }
    --depth_;
    return true;
}

bool Reader::escape(std::string& text) {
    if (at_ >= end_) return false;
    const char c = *at_++;
    if (c != 'u') {
        for (const auto& [escape, meaning] : kEscapes) {
            if (escape != c) continue;
            text += meaning;
            return true;
        }
        return false;
    }
    const auto hex4 = [this](uint32_t& code) {
        if (end_ - at_ < 4) return false;
        const auto [end, error] = std::from_chars(at_, at_ + 4, code, 16);
        if (error != std::errc() || end != at_ + 4) return false;
        at_ += 4;
        return true;
    };
    uint32_t code = 0;
    if (!hex4(code)) return false;
    if (code >= 0xD800 && code < 0xDC00) {  // a surrogate pair
        uint32_t low = 0;
        if (end_ - at_ < 2 || at_[0] != '\\' || at_[1] != 'u') return false;
        at_ += 2;
        if (!hex4(low) || low < 0xDC00 || low >= 0xE000) return false;
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    } else if (code >= 0xDC00 && code < 0xE000) {
        return false;
    }
    vtl::text::appendUtf8(text, code);
    return true;
}

bool Reader::string(std::string& text) {
    if (!take('"')) return false;
    text.clear();
    while (at_ < end_) {
        const char* run = at_;
        while (at_ < end_ && *at_ != '"' && *at_ != '\\' &&
               static_cast<unsigned char>(*at_) >= 0x20) {
            ++at_;
        }
        text.append(run, at_);
        if (at_ >= end_ || static_cast<unsigned char>(*at_) < 0x20) return false;
        if (*at_++ == '"') return true;
        if (!escape(text)) return false;
    }
    return false;
}

std::optional<double> Reader::number() {
    const char c = peek();
    if (c != '-' && (c < '0' || c > '9')) return std::nullopt;
    double number = 0;
    const auto [end, error] = std::from_chars(at_, end_, number);
    if (error != std::errc()) return std::nullopt;
    at_ = end;
    return number;
}

bool Reader::integer(int64_t& number) {
    const std::optional<double> read = this->number();
    if (!read || *read != std::trunc(*read) || std::abs(*read) > kExactIntegers) return false;
    number = static_cast<int64_t>(*read);
    return true;
}

bool Reader::integer(int32_t& number) {
    int64_t wide = 0;
    if (!integer(wide) || wide < INT32_MIN || wide > INT32_MAX) return false;
    number = static_cast<int32_t>(wide);
    return true;
}

bool Reader::boolean(bool& value) {
    if (literal("true")) {
        value = true;
    } else if (literal("false")) {
        value = false;
    } else {
        return false;
    }
    return true;
}

bool Reader::array(const std::function<bool()>& item) {
    if (!take('[') || ++depth_ > kMaxDepth) return false;
    if (!take(']')) {
        do {
            if (!item()) return false;
        } while (take(','));
        if (!take(']')) return false;
    }
    --depth_;
    return true;
}

std::optional<QJsonValue> Reader::elements() {
    QJsonArray array;
    const bool read = this->array([&] {
        std::optional<QJsonValue> item = value();
        if (item) array.append(*item);
        return item.has_value();
    });
    if (!read) return std::nullopt;
    return array;
}

std::optional<QJsonValue> Reader::members() {
    QJsonObject object;
    const bool read = this->object([&](const std::string& key) {
        std::optional<QJsonValue> item = value();
        if (item) object.insert(QString::fromStdString(key), *item);
        return item.has_value();
    });
    if (!read) return std::nullopt;
    return object;
}

std::optional<QJsonValue> Reader::value() {
    switch (peek()) {
        case '"': {
            std::string text;
            if (!string(text)) return std::nullopt;
            return QJsonValue(QString::fromStdString(text));
        }
        case '[':
            return elements();
        case '{':
            return members();
        case 't':
        case 'f': {
            bool flag = false;
            if (!boolean(flag)) return std::nullopt;
            return QJsonValue(flag);
        }
        case 'n':
            if (!literal("null")) return std::nullopt;
            return QJsonValue(QJsonValue::Null);
        default: {
            const std::optional<double> read = number();
            if (!read) return std::nullopt;
            if (*read == std::trunc(*read) && std::abs(*read) < kExactIntegers) {
                return QJsonValue(static_cast<qint64>(*read));
            }
            return QJsonValue(*read);
        }
    }
}

}  // namespace vtl::mstn::json

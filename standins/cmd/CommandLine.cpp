#include "CommandLine.h"

#include "Console.h"

namespace vtl::cmd {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

class Parser {
  public:
    explicit Parser(std::string_view line) : line_(line) {}

    CommandLine run() {
        while (pos_ < line_.size()) {
            if (isBlank(line_[pos_])) {
                ++pos_;
            } else if (startsRedirection()) {
                result_.redirections.push_back(redirection());
            } else {
                result_.words.push_back(word());
            }
        }
        return result_;
    }

  private:
    bool startsRedirection() const {
        if (line_[pos_] == '>') return true;
        return (line_[pos_] == '1' || line_[pos_] == '2') && pos_ + 1 < line_.size() &&
               line_[pos_ + 1] == '>';
    }

    Redirection redirection() {
        Redirection r;
        if (line_[pos_] != '>') r.fd = line_[pos_++] - '0';
        ++pos_;  // the '>'
        if (pos_ < line_.size() && line_[pos_] == '>') {
            r.append = true;
            ++pos_;
        }
        if (pos_ + 1 < line_.size() && line_[pos_] == '&' &&
            (line_[pos_ + 1] == '1' || line_[pos_ + 1] == '2')) {
            r.copyOf = line_[pos_ + 1] - '0';
            pos_ += 2;
            return r;
        }
        while (pos_ < line_.size() && isBlank(line_[pos_])) ++pos_;
        if (pos_ >= line_.size() || line_[pos_] == '>') throw SyntaxError(kSyntaxError);
        r.target = word().text;
        if (r.target.empty()) throw SyntaxError(kSyntaxError);
        return r;
    }

    // A word ends at a blank or a redirection outside quotes.
    Word word() {
        Word w;
        bool inQuotes = false;
        for (; pos_ < line_.size(); ++pos_) {
            char c = line_[pos_];
            if (c == '"') {
                inQuotes = !inQuotes;
                w.quoted = true;
                continue;
            }
            if (!inQuotes) {
                if (isBlank(c) || c == '>') break;
                if (c == '|' || c == '&' || c == '<') {
                    throw SyntaxError(std::string("The operator ") + c +
                                      " is not supported by this command interpreter.");
                }
            }
            w.text += c;
        }
        return w;
    }

    std::string_view line_;
    size_t pos_ = 0;
    CommandLine result_;
};

}  // namespace

CommandLine parseLine(std::string_view line) {
    return Parser(line).run();
}

}  // namespace vtl::cmd

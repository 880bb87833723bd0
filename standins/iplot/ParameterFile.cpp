#include "ParameterFile.h"

#include "core/Files.h"
#include "core/Text.h"

namespace vtl::iplot {

namespace {

struct Setting {
    std::string name;
    std::string value;
};

std::optional<Setting> settingOf(const std::string& line) {
    const std::string trimmed = text::trimSpace(line);
    if (trimmed.empty() || trimmed.front() == '!') return {};
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return {};
    return Setting{text::lower(text::trimSpace(trimmed.substr(0, equals))),
                   text::trimSpace(trimmed.substr(equals + 1))};
}

}  // namespace

ParameterFile ParameterFile::read(const std::filesystem::path& file) {
    ParameterFile parameters;
    parameters.path_ = file;
    const std::string content = text::replaceAll(files::readFile(file), "\r\n", "\n");
    parameters.lines_ = text::split(content, '\n');
    // The line end of the last line is no line of its own.
    if (!parameters.lines_.empty() && parameters.lines_.back().empty())
        parameters.lines_.pop_back();
    return parameters;
}

std::optional<std::string> ParameterFile::get(const std::string& name) const {
    std::optional<std::string> value;
    for (const std::string& line : lines_) {
        std::optional<Setting> setting = settingOf(line);
        if (setting && setting->name == text::lower(name)) value = setting->value;
    }
    return value;
}

void ParameterFile::set(const std::string& name, const std::string& value) {
    const std::string line = name + "=" + value;
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
        std::optional<Setting> setting = settingOf(*it);
        if (setting && setting->name == text::lower(name)) {
            *it = line;
            return;
        }
    }
    lines_.push_back(line);
}

void ParameterFile::write() const {
    std::string content;
    for (const std::string& line : lines_) content += line + "\r\n";
    files::writeFile(path_, content);
}

}  // namespace vtl::iplot

#include "GdalTools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "core/Text.h"

namespace vtl::test {

namespace {

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// Runs a shell command and returns its standard output and its exit code.
std::pair<std::string, int> run(const std::string& command) {
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {"", -1};
    std::string output;
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
    return {output, ::pclose(pipe)};
}

}  // namespace

int OgrFeature::number(const std::string& name) const {
    return std::stoi(field(name));
}

std::string OgrFeature::field(const std::string& name) const {
    auto it = fields.find(name);
    return it == fields.end() ? "" : it->second;
}

std::string OgrFeature::kind() const {
    return geometry.substr(0, geometry.find(" ("));
}

std::vector<double> OgrFeature::coordinates() const {
    std::string numbers = geometry.substr(std::min(geometry.size(), geometry.find('(')));
    for (char& c : numbers) {
        if (c == '(' || c == ')' || c == ',') c = ' ';
    }
    std::istringstream in(numbers);
    std::vector<double> values;
    for (double value = 0; in >> value;) values.push_back(value);
    return values;
}

std::vector<OgrFeature> ogrFeatures(const std::filesystem::path& file) {
    const auto [output, code] = run("ogrinfo -ro -al -q " + quoted(file) + " 2>&1");
    EXPECT_EQ(code, 0) << output;
    std::vector<OgrFeature> features;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (text::startsWith(line, "OGRFeature(")) {
            features.emplace_back();
        } else if (features.empty() || !text::startsWith(line, "  ")) {
            continue;
        } else if (const size_t kind = line.find(" ("), equals = line.find(") = ");
                   kind != std::string::npos && equals != std::string::npos && kind < equals) {
            features.back().fields[line.substr(2, kind - 2)] = line.substr(equals + 4);
        } else if (text::startsWith(line, "  Style = ")) {
            features.back().style = line.substr(10);
        } else {
            features.back().geometry = text::trimSpace(line);
        }
    }
    return features;
}

std::vector<OgrFeature> ofType(const std::vector<OgrFeature>& features, int elementType) {
    std::vector<OgrFeature> result;
    for (const OgrFeature& f : features) {
        if (f.number("Type") == elementType) result.push_back(f);
    }
    return result;
}

std::string ogrinfoListing(const std::filesystem::path& file) {
    return run("ogrinfo -ro -al " + quoted(file)).first;
}

void ogr2ogrDgn(const std::filesystem::path& csv, const std::filesystem::path& dgn, bool threeD) {
    // The DGN driver refuses the CSV's attribute columns with a message; the Text column still
    // becomes the text of the elements.
    const std::string options = threeD ? "-dsco 3D=YES " : "";
    const auto [output, code] =
        run("ogr2ogr -f DGN " + options + quoted(dgn) + " " + quoted(csv) + " 2>&1");
    ASSERT_EQ(code, 0) << output;
    ASSERT_TRUE(std::filesystem::exists(dgn)) << output;
}

}  // namespace vtl::test

// A plot parameter file: "name=value" lines that say what to plot and where to; lines starting
// with "!" are remarks. Names are compared without regard to case. Lines the plot command does
// not know are kept as they stand when it writes the file back.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vtl::iplot {

// The names the plot command reads and sets.
inline constexpr char kQueue[] = "queue";
inline constexpr char kDesign[] = "design";
inline constexpr char kReferences[] = "references";

class ParameterFile {
public:
    // Reads the file; raises vtl::Error naming it when it is missing or cannot be read.
    static ParameterFile read(const std::filesystem::path& file);

    // The value of a name, nothing when no line sets it; the last line that sets it counts.
    std::optional<std::string> get(const std::string& name) const;
    // Sets a name in the line that sets it, or in a new line at the end.
    void set(const std::string& name, const std::string& value);
    // Writes the file back, replacing it whole.
    void write() const;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::vector<std::string> lines_;
};

}  // namespace vtl::iplot

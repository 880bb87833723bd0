#include "PlotQueue.h"

#include "core/Environment.h"
#include "core/Text.h"

namespace vtl::iplot {

std::filesystem::path queuesFolder() {
    return env::platformHome() / "plotqueues";
}

std::optional<std::filesystem::path> queueFolder(const std::string& queue) {
    std::string name = text::replaceAll(queue, "\\", "/");
    if (name.starts_with("//")) name.erase(0, 2);
    if (name.empty()) return {};
    std::filesystem::path folder = queuesFolder();
    for (const std::string& part : text::split(name, '/')) {
        if (part.empty() || part == "." || part == "..") return {};
        folder /= part;
    }
    return folder;
}

}  // namespace vtl::iplot

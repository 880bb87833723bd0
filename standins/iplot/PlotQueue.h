// Plot queues: each is a folder below "plotqueues" in the platform home, which receives the
// plots submitted to it. A queue given as a network path ("\\server\name") is the folder
// server/name there; a local queue ("A4") the folder of its name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vtl::iplot {

// The folder that holds all queues.
std::filesystem::path queuesFolder();

// The folder of a queue, whether or not it exists; nothing for a name that cannot be a queue
// (empty, or with a part that is empty, "." or "..").
std::optional<std::filesystem::path> queueFolder(const std::string& queue);

}  // namespace vtl::iplot

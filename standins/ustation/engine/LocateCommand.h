// The commands that act on one element: the first data point identifies it (the newest within
// the locate tolerance), the next one accepts it, wherever it is ("dx=0"); a reset drops the
// identified element. Then the command identifies again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Command.h"

namespace vtl::ustation {

class LocateCommand : public Command {
public:
    LocateCommand(Drawing& drawing, std::string name) : Command(drawing), name_(std::move(name)) {}
    void dataPoint(const dgn::Point& point) override;
    void reset() override { identified_.reset(); }

protected:
    // The identified element, still in the file, is accepted.
    virtual void accept(uint64_t position) = 0;

private:
    std::string name_;
    std::optional<uint64_t> identified_;
};

// "match element": the accepted element's level, colour, weight and style, and a text's or text
// node's size, become the active settings.
class MatchElement : public LocateCommand {
public:
    explicit MatchElement(Drawing& drawing) : LocateCommand(drawing, "match element") {}

protected:
    void accept(uint64_t position) override;
};

// "delete element": the accepted element is deleted with its components.
class DeleteElement : public LocateCommand {
public:
    explicit DeleteElement(Drawing& drawing) : LocateCommand(drawing, "delete element") {}

protected:
    void accept(uint64_t position) override;
};

}  // namespace vtl::ustation

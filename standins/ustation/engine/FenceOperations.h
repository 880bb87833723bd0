// What the fence key-ins do with the fence's contents in view 1: "fence change unlock" takes the
// lock off the master file's elements, "fence delete" deletes those not locked, and "fence copy"
// copies them and what the located references show, by the distance between two data points.
#pragma once

#include <optional>

#include "Command.h"

namespace vtl::ustation {

class SessionApplication;

// "place fence": a block from the first data point to the second; the next point starts a new
// one. Starting it removes the fence there was.
class PlaceFence : public Command {
public:
    explicit PlaceFence(SessionApplication& session);
    void dataPoint(const dgn::Point& point) override;
    void reset() override { corner_.reset(); }

private:
    SessionApplication& session_;
    std::optional<dgn::Point> corner_;
};

// "place fence allfiles": a fence around all that the view selected next ("selview", or a data
// point for view 1) can show, the whole design plane.
void placeFenceOverView(SessionApplication& session);

enum class FenceAction { ChangeUnlock, Delete };

// "fence change unlock" and "fence delete": each data point accepts the action.
class FenceOperation : public Command {
public:
    FenceOperation(SessionApplication& session, FenceAction action);
    void dataPoint(const dgn::Point& point) override;

private:
    SessionApplication& session_;
    FenceAction action_;
};

// "fence copy": the first data point is where the copy is taken from, each further one where a
// copy goes.
class FenceCopy : public Command {
public:
    explicit FenceCopy(SessionApplication& session);
    void dataPoint(const dgn::Point& point) override;
    void reset() override { from_.reset(); }

private:
    SessionApplication& session_;
    std::optional<dgn::Point> from_;
};

}  // namespace vtl::ustation

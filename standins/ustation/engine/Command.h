// The key-in commands that place elements. Each is a small state machine: it collects data
// points (and, for texts, keyed-in text) until a reset or the next command ends it.
#pragma once

#include <string>
#include <vector>

#include "ActiveSettings.h"
#include "dgn/Element.h"

namespace vtl::ustation {

// What a command draws into: the open design file with its active settings.
class Drawing {
public:
    virtual ~Drawing() = default;
    virtual ActiveSettings& active() = 0;
    // UORs per master unit of the open file.
    virtual double uorsPerMaster() const = 0;
    virtual dgn::Dimension dimension() const = 0;
    // Writes a new element, a complex header followed by its components, stamped with the
    // active level and symbology.
    virtual void add(std::vector<dgn::Element> elements) = 0;
    // Writes a new element like add(), each part keeping its own level and symbology.
    virtual void addAsGiven(std::vector<dgn::Element> elements) = 0;
    // Tells the journal why a command did nothing.
    virtual void note(const std::string& text) = 0;
};

class Command {
public:
    explicit Command(Drawing& drawing) : drawing_(drawing) {}
    virtual ~Command() = default;

    virtual void dataPoint(const dgn::Point& point) = 0;
    // A key-in that is no command: true when the command takes it as its text.
    virtual bool keyedText(const std::string&) { return false; }
    // Ends the element in progress; the command stays active for the next one.
    virtual void reset() {}
    // Another command takes over.
    virtual void finish() { reset(); }

protected:
    Drawing& drawing_;
};

}  // namespace vtl::ustation

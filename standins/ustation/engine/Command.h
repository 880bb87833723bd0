// The key-in commands: each is a small state machine that collects data points (and, for texts,
// keyed-in text) to place elements or to act on one it locates, until a reset or the next
// command ends it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ActiveSettings.h"
#include "UserPreferences.h"
#include "dgn/DesignFile.h"
#include "dgn/Element.h"
#include "dgn/Rotation.h"

namespace vtl::ustation {

// What a command draws into: the open design file with its active settings.
class Drawing {
public:
    virtual ~Drawing() = default;
    virtual ActiveSettings& active() = 0;
    // UORs per master unit of the open file.
    virtual double uorsPerMaster() const = 0;
    virtual dgn::Dimension dimension() const = 0;
    // The rotation of the view data points are entered in (rows: the view's axes in design
    // coordinates); 3-D texts are placed flat in it.
    virtual dgn::Matrix3 viewRotation() const = 0;
    // Writes a new element, a complex header followed by its components, stamped with the
    // active level and symbology.
    virtual void add(std::vector<dgn::Element> elements) = 0;
    // Writes a new element like add(), each part keeping its own level and symbology.
    virtual void addAsGiven(std::vector<dgn::Element> elements) = 0;
    // Tells the journal why a command did nothing.
    virtual void note(const std::string& text) = 0;
    // The open design file, nullptr while none is open.
    virtual dgn::DesignFile* drawingFile() = 0;
    // The element a data point (UORs) identifies within the user's locate tolerance.
    virtual std::optional<uint64_t> locate(const dgn::Point& point) = 0;
    virtual const UserPreferences& preferences() const = 0;
    // Elements of the open file were changed or deleted: the window shows them anew.
    virtual void changed() = 0;
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
    // A message to an application the command runs (the text editor's "TEXTEDIT"); false when
    // the command takes none.
    virtual bool appMessage(const std::string& /*application*/, const std::string& /*message*/) {
        return false;
    }

protected:
    Drawing& drawing_;
};

}  // namespace vtl::ustation

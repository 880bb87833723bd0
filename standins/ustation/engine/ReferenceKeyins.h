// The reference key-ins: "rf=FILE,LOGICAL" and the answers it asks for (description, saved view,
// scale, and the origin as a data point), "REFERENCE DETACH NAME" and "reference locate on|off
// NAME|all".
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "Command.h"

namespace vtl::ustation {

class SessionApplication;

// "rf=": attaches the file once it has its description, saved view and scale keyed in and a data
// point placing the saved view's centre. A reset at the first prompt attaches the whole file as
// it is, coincident (its global origin on the master's, at full size); a later reset, or another
// command, gives up the attachment.
class AttachReference : public Command {
public:
    AttachReference(SessionApplication& session, const std::string& fileAndName);
    void dataPoint(const dgn::Point& point) override;
    bool keyedText(const std::string& text) override;
    void reset() override;
    void finish() override;

private:
    void attach(const dgn::Point& point);
    void attachCoincident();
    // The file as keyed in, taken beside the master file when relative.
    std::filesystem::path path() const;
    void store(dgn::DesignFile& master, dgn::ReferenceBody body);
    void clear();

    SessionApplication& session_;
    std::string file_;
    std::string logicalName_;
    std::optional<std::string> description_;
    std::optional<std::string> view_;
    std::optional<std::string> scale_;
    bool attached_ = false;
};

// "M:R" or a single number: master units per reference unit; nothing for other texts.
std::optional<double> referenceScale(const std::string& text);

void detachReference(SessionApplication& session, const std::string& logicalName);
void referenceLocate(SessionApplication& session, const std::string& onOffAndName);

}  // namespace vtl::ustation

// "EDIT TEXT": the accepted text or text node opens in the text editor, the application
// "TEXTEDIT", which takes its messages: "FirstLine TEXT" puts TEXT in place of the first line
// (a node without lines gets it as its first), "ApplyBtn" writes the element. A reset closes the
// editor; what was not applied is dropped.
#pragma once

#include <optional>
#include <string>

#include "LocateCommand.h"

namespace vtl::ustation {

class EditText : public LocateCommand {
public:
    explicit EditText(Drawing& drawing) : LocateCommand(drawing, "EDIT TEXT") {}
    bool appMessage(const std::string& application, const std::string& message) override;
    void reset() override;

protected:
    void accept(uint64_t position) override;

private:
    void apply();
    void applyToNode(const dgn::Record& node);
    void applyToText(const dgn::Record& text);

    std::optional<uint64_t> editing_;
    std::optional<std::string> firstLine_;
};

}  // namespace vtl::ustation

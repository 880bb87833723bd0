#include "Expressions.h"

#include "ElementCursor.h"
#include "core/Error.h"
#include "dgn/Layout.h"

namespace vtl::ustation {

namespace {

// A field of the element union "el", read from the element's stored bytes as C reads it.
struct Field {
    const char* path;
    size_t offset;
};

const Field kFields[] = {
    {"text_node_2d.nodenumber", dgn::layout::kNodeNumber},
    {"text_node_3d.nodenumber", dgn::layout::kNodeNumber},
};

constexpr std::string_view kCurrentElement = ".currentPosition->el.";

[[noreturn]] void unknown(const std::string& expression, const std::string& why) {
    throw Error(err::AutomationError, "",
                "The expression \"" + expression + "\" cannot be evaluated: " + why);
}

std::string withoutBlanks(const std::string& s) {
    std::string result;
    for (char c : s) {
        if (c != ' ' && c != '\t') result += c;
    }
    return result;
}

}  // namespace

int32_t evaluateLong(const std::string& expression, const Workspace& workspace) {
    const std::string e = withoutBlanks(expression);
    size_t at = e.find(kCurrentElement);
    if (at == std::string::npos) unknown(expression, "not a known expression");
    const std::string name = e.substr(0, at);
    const std::string path = e.substr(at + kCurrentElement.size());
    const Field* field = nullptr;
    for (const Field& f : kFields) {
        if (path == f.path) field = &f;
    }
    if (!field) unknown(expression, "no known field");
    auto it = workspace.published.find(name);
    std::shared_ptr<ElementCursor> element =
        it == workspace.published.end() ? nullptr : it->second.lock();
    if (!element) unknown(expression, "nothing is published as \"" + name + "\"");
    const dgn::Bytes& bytes = element->currentBytes();
    if (bytes.size() < field->offset + 2) unknown(expression, "the element is too short");
    // Node numbers are unsigned words.
    return dgn::getWord(bytes.data() + field->offset);
}

}  // namespace vtl::ustation

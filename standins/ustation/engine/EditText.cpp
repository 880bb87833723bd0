#include "EditText.h"

#include "NodeLines.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace {

constexpr char kEditor[] = "TEXTEDIT";
constexpr char kFirstLine[] = "FirstLine ";
constexpr char kApply[] = "ApplyBtn";
// The most a V7 text element holds.
constexpr size_t kMaxText = 255;

}  // namespace

void EditText::accept(uint64_t position) {
    const dgn::Element& e = drawing_.drawingFile()->at(position)->element;
    if (e.type != dgn::type::Text && e.type != dgn::type::TextNode) {
        drawing_.note("EDIT TEXT: the identified element holds no text");
        return;
    }
    editing_ = position;
    firstLine_.reset();
}

void EditText::reset() {
    LocateCommand::reset();
    editing_.reset();
    firstLine_.reset();
}

bool EditText::appMessage(const std::string& application, const std::string& message) {
    if (!text::iequals(application, kEditor)) return false;
    if (!editing_) {
        drawing_.note("TEXTEDIT: no text is being edited: " + message);
    } else if (message.starts_with(kFirstLine)) {
        firstLine_ = message.substr(std::string_view(kFirstLine).size());
    } else if (message == kApply) {
        apply();
    } else {
        drawing_.note("TEXTEDIT: unknown message: " + message);
    }
    return true;
}

void EditText::apply() {
    dgn::DesignFile* file = drawing_.drawingFile();
    const dgn::Record* record = file ? file->at(*editing_) : nullptr;
    if (!record || record->element.deleted) {
        drawing_.note("TEXTEDIT: the edited element is gone");
        editing_.reset();
        return;
    }
    if (!firstLine_) return;  // nothing changed
    if (firstLine_->size() > kMaxText) {
        drawing_.note("TEXTEDIT: a line holds at most 255 characters; nothing applied");
        return;
    }
    if (record->element.type == dgn::type::TextNode) {
        applyToNode(*record);
    } else {
        applyToText(*record);
    }
    drawing_.changed();
}

void EditText::applyToText(const dgn::Record& text) {
    dgn::DesignFile& file = *drawing_.drawingFile();
    if (firstLine_->empty()) {
        file.remove(text.position);
        editing_.reset();
        return;
    }
    dgn::Element element = text.element;
    std::get<dgn::TextBody>(element.body).text = *firstLine_;
    editing_ = file.rewrite(text.position, element);
}

void EditText::applyToNode(const dgn::Record& node) {
    dgn::DesignFile& file = *drawing_.drawingFile();
    dgn::Element head = node.element;
    auto& body = std::get<dgn::TextNodeBody>(head.body);
    std::vector<dgn::Element> lines;
    for (const dgn::Record* part : file.components(node)) lines.push_back(part->element);
    if (!lines.empty() && firstLine_->empty()) {
        lines.erase(lines.begin());
    } else if (!lines.empty()) {
        auto* first = std::get_if<dgn::TextBody>(&lines.front().body);
        if (!first) {
            drawing_.note("TEXTEDIT: the node's first component is no text; nothing applied");
            return;
        }
        first->text = *firstLine_;
    } else if (!firstLine_->empty()) {
        // The node's first line in the node's own symbology, size and font.
        lines = nodeLines({*firstLine_}, body.origin, dgn::textSize(body.lengthMult),
                          dgn::textSize(body.heightMult));
        lines.front().level = head.level;
        lines.front().symbology = head.symbology;
        std::get<dgn::TextBody>(lines.front().body).font = body.font;
    }
    if (lines.empty() && !drawing_.preferences().preserveTextNodes) {
        file.remove(node.position);
        editing_.reset();
        return;
    }
    body.maxUsed = longestLine(lines);
    editing_ = lines.empty() ? file.rewrite(node.position, head)
                             : file.rewrite(node.position, head, lines);
}

}  // namespace vtl::ustation

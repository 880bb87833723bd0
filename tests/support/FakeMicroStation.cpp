#include "support/FakeMicroStation.h"

#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::test {

namespace {

// An element walk over an empty design file.
class EmptyElement : public mstn::Element {
public:
    int32_t fromFile(int32_t, int32_t) override { return -1; }
    int32_t fileSize() override { return 0; }
    int32_t Type() override { return 0; }
    int32_t GetString(std::string& text) override { return text.clear(), 1; }
    int32_t GetOrigin(mstn::Point&) override { return 1; }
    int32_t getEndPoints(mstn::Point&, mstn::Point&) override { return 1; }
    int32_t Level() override { return 0; }
    int32_t Color() override { return 0; }
    int32_t Weight() override { return 0; }
    int32_t nextComponent() override { return 1; }
    int32_t setString(const std::string&) override { return 1; }
    int32_t Rewrite() override { return 1; }
    int32_t Publish(const std::string&) override { return 0; }
};

class ScriptedReferences : public mstn::RefFiles {
public:
    explicit ScriptedReferences(const std::vector<FakeReference>& refs) : refs_(refs) {}
    int32_t maxRefFiles() override { return static_cast<int32_t>(refs_.size()); }
    bool active(int32_t i) override { return at(i) && at(i)->active; }
    bool notFound(int32_t i) override { return at(i) && at(i)->notFound; }
    bool display(int32_t i) override { return at(i) && at(i)->display; }
    std::string Filename(int32_t i) override { return at(i) ? at(i)->file : std::string(); }

private:
    const FakeReference* at(int32_t i) const {
        if (i < 1 || i > static_cast<int32_t>(refs_.size())) return nullptr;
        return &refs_[static_cast<size_t>(i - 1)];
    }
    const std::vector<FakeReference>& refs_;
};

}  // namespace

// The element walk over the scripted elements of the open file.
class FakeMicroStation::WalkElement : public mstn::Element,
                                      public std::enable_shared_from_this<WalkElement> {
public:
    explicit WalkElement(FakeMicroStation& ms) : ms_(ms) {}

    int32_t fromFile(int32_t position, int32_t fileIndex) override {
        const std::vector<FakeElement>& elements = ms_.designs[fileOf(fileIndex)];
        int32_t at = 0;
        for (size_t i = 0; i < elements.size(); at += elements[i].size, ++i) {
            if (at < position) continue;
            current_ = elements[i];
            return at;
        }
        current_.reset();
        return -1;
    }
    int32_t fileSize() override { return element().size; }
    int32_t Type() override { return element().type; }
    int32_t GetString(std::string& text) override {
        text = element().text;
        return element().type == mstn::Application::MBE_TEXT ? 0 : 1;
    }
    int32_t GetOrigin(mstn::Point& origin) override {
        ms_.record("GetOrigin()");
        origin = element().origin;
        return 0;
    }
    int32_t getEndPoints(mstn::Point& start, mstn::Point& end) override {
        start = element().start;
        end = element().end;
        return element().type == 3 || element().type == 4 ? 0 : 1;
    }
    int32_t Level() override { return 0; }
    int32_t Color() override { return 0; }
    int32_t Weight() override { return 0; }
    int32_t nextComponent() override { return 1; }
    int32_t setString(const std::string&) override { return 1; }
    int32_t Rewrite() override { return 1; }
    int32_t Publish(const std::string& name) override {
        ms_.record("Publish(" + name + ")");
        ms_.published_[name] = weak_from_this();
        return 0;
    }
    const FakeElement& element() const {
        if (!current_) throw Error(err::AutomationError, "MicroStation", "No element");
        return *current_;
    }

private:
    // The open file, or the file of the reference in that slot.
    std::string fileOf(int32_t fileIndex) const {
        if (fileIndex == 0) return ms_.openFile_;
        const size_t slot = static_cast<size_t>(fileIndex);
        if (fileIndex < 0 || slot > ms_.references.size()) return "<no reference>";
        return ms_.references[slot - 1].file;
    }

    FakeMicroStation& ms_;
    std::optional<FakeElement> current_;
};

void FakeMicroStation::failOnCall(int n, Error error) {
    callsUntilFailure_ = n;
    failure_ = std::move(error);
}

void FakeMicroStation::record(const std::string& call) {
    calls.push_back(call);
    if (failure_ && --callsUntilFailure_ == 0) {
        Error error = *failure_;
        failure_.reset();
        throw error;
    }
}

void FakeMicroStation::MbeSendCommand(const std::string& keyin) {
    record("MbeSendCommand(" + keyin + ")");
    this->keyin(keyin);
}

void FakeMicroStation::MbeSendkeyin(const std::string& keyin) {
    record("MbeSendkeyin(" + keyin + ")");
    this->keyin(keyin);
}

void FakeMicroStation::keyin(const std::string& keyin) {
    keyins.push_back(keyin);
    if (text::istartsWith(keyin, "newfile ")) openFile_ = keyin.substr(8);
    if (onKeyin) onKeyin(keyin);
}

void FakeMicroStation::MbeSetAppVariable(const std::string& application,
                                         const std::string& variable, double value) {
    record("MbeSetAppVariable(" + application + ", " + variable + ", " + num::text(value) + ")");
}

void FakeMicroStation::MbeSendAppMessage(const std::string& application,
                                         const std::string& message) {
    record("MbeSendAppMessage(" + application + ", " + message + ")");
}

void FakeMicroStation::MbeSendReset() {
    record("MbeSendReset()");
}

void FakeMicroStation::mbeSendDataPoint(const mstn::Point& p) {
    record("mbeSendDataPoint(" + num::text(p.x) + ", " + num::text(p.y) + ", " + num::text(p.z) +
           ")");
}

int32_t FakeMicroStation::MbeCExpressionLong(const std::string& expression) {
    record("MbeCExpressionLong(" + expression + ")");
    if (std::optional<int32_t> node = publishedNodeNumber(expression)) return *node;
    auto it = expressions.find(expression);
    if (it == expressions.end())
        throw Error(err::AutomationError, "MicroStation", "Automation error");
    return it->second;
}

std::optional<int32_t> FakeMicroStation::publishedNodeNumber(const std::string& expression) {
    const std::string field = ".currentPosition->el.text_node_2d.nodenumber";
    if (!expression.ends_with(field)) return {};
    auto it = published_.find(expression.substr(0, expression.size() - field.size()));
    std::shared_ptr<WalkElement> element = it == published_.end() ? nullptr : it->second.lock();
    if (!element) return {};
    return element->element().nodeNumber;
}

std::string FakeMicroStation::MbeGetConfigVar(const std::string& name) {
    record("MbeGetConfigVar(" + name + ")");
    auto it = configVars.find(name);
    return it == configVars.end() ? std::string() : it->second;
}

std::shared_ptr<mstn::Element> FakeMicroStation::MbeElement() {
    record("MbeElement()");
    if (designs.empty()) return std::make_shared<EmptyElement>();
    return std::make_shared<WalkElement>(*this);
}

std::shared_ptr<mstn::RefFiles> FakeMicroStation::MbeRefFiles() {
    record("MbeRefFiles()");
    return std::make_shared<ScriptedReferences>(references);
}

int32_t FakeMicroStation::Visible() {
    record("Visible()");
    return visible;
}

void FakeMicroStation::setVisible(int32_t value) {
    record("setVisible(" + num::text(value) + ")");
    visible = value;
}

void FakeMicroStation::Quit() {
    record("Quit()");
    quit = true;
}

}  // namespace vtl::test

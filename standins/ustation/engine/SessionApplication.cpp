#include "SessionApplication.h"

#include <filesystem>

#include "CellLibrary.h"
#include "ColorTable.h"
#include "Conversion.h"
#include "ElementCursor.h"
#include "Expressions.h"
#include "KeyinTable.h"
#include "Keyins.h"
#include "Locate.h"
#include "LocateCommand.h"
#include "PlaceCell.h"
#include "ReferenceList.h"
#include "Selection.h"
#include "Session.h"
#include "StoredState.h"
#include "Views.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "platform/AtomicFile.h"

namespace vtl::ustation {

namespace {

// Macros that start macros stop here rather than run forever.
constexpr int kMaxMacroDepth = 8;

// The preference application, whose variables are the user preferences.
constexpr char kUserPreferences[] = "USERPREF";
constexpr char kSelectBy[] = "SELECTBY";
constexpr char kConversion[] = "CNVDGN";

std::string pointText(const mstn::Point& p) {
    return num::text(p.x) + "," + num::text(p.y) + "," + num::text(p.z);
}

}  // namespace

std::unique_ptr<StandInApplication> createSession(Journal& journal) {
    return std::make_unique<SessionApplication>(journal);
}

SessionApplication::SessionApplication(Journal& journal)
    : journal_(journal), workspace_(std::make_shared<Workspace>()), dataFolder_(dataFolder()) {
    workspace_->changed = [this] { notifyChanged(); };
}

// --- key-ins -----------------------------------------------------------------------------------

void SessionApplication::MbeSendCommand(const std::string& keyins) {
    runKeyins(keyins);
}

void SessionApplication::MbeSendkeyin(const std::string& keyins) {
    runKeyins(keyins);
}

void SessionApplication::runKeyins(const std::string& keyins) {
    for (const std::string& keyin : splitKeyins(keyins)) {
        if (quit_) break;  // nothing runs after "exit"
        runKeyin(keyin);
    }
}

void SessionApplication::runKeyin(const std::string& keyin) {
    journal_.keyin(keyin);
    try {
        if (runKnownKeyin(*this, keyin)) return;
    } catch (const Error& e) {
        journal_.note("key-in failed: " + keyin + ": " + e.description());
        throw;
    }
    if (command_ && command_->keyedText(keyin)) return;
    journal_.unknownKeyin(keyin);
}

// --- commands ----------------------------------------------------------------------------------

void SessionApplication::startCommand(std::unique_ptr<Command> command) {
    endCommand();
    command_ = std::move(command);
}

void SessionApplication::endCommand() {
    viewCommand_.reset();
    // The element in progress is made before the command goes.
    std::unique_ptr<Command> ending = std::move(command_);
    if (ending) ending->finish();
}

void SessionApplication::reset() {
    if (viewCommand_) {
        viewCommand_.reset();
        return;
    }
    if (command_) command_->reset();
}

void SessionApplication::startViewCommand(const std::string& name,
                                          std::function<void(int view)> apply) {
    viewCommand_ = ViewCommand{name, std::move(apply)};
}

void SessionApplication::selectView(const std::string& which) {
    if (!viewCommand_) {
        journal_.note("selview without a view command");
        return;
    }
    if (text::iequals(text::trim(which), "all")) {
        for (int view = 1; view <= static_cast<int>(dgn::kHeaderViews); ++view) {
            viewCommand_->apply(view);
        }
        return;
    }
    const std::optional<int32_t> view = num::parseWhole32(which);
    if (!view || *view < 1 || *view > static_cast<int32_t>(dgn::kHeaderViews)) {
        journal_.note("key-in ignored, no such view: selview " + which);
        return;
    }
    viewCommand_->apply(*view);
}

void SessionApplication::MbeSendReset() {
    reset();
}

void SessionApplication::mbeSendDataPoint(const mstn::Point& point) {
    dataPoint(point);
}

void SessionApplication::dataPoint(const mstn::Point& master) {
    dgn::DesignFile* file = design();
    if (!file) {
        journal_.note("data point ignored, no design file is open: " + pointText(master));
        return;
    }
    dgn::Point uors;
    try {
        uors = file->header().toUors(master.x, master.y, master.z);
    } catch (const Error& e) {
        journal_.note("data point ignored, " + e.description() + ": " + pointText(master));
        return;
    }
    bool threeD = file->dimension() == dgn::Dimension::Three;
    lastPoint_ = mstn::Point{master.x, master.y, threeD ? master.z : 0};
    if (viewCommand_) {
        journal_.note("data point selects view 1 for " + viewCommand_->name);
        viewCommand_->apply(1);
        return;
    }
    if (command_) command_->dataPoint(uors);
}

void SessionApplication::relativeDataPoint(const mstn::Point& delta) {
    mstn::Point from = lastPoint_.value_or(mstn::Point{});
    dataPoint({from.x + delta.x, from.y + delta.y, from.z + delta.z});
}

// --- design files ------------------------------------------------------------------------------

dgn::DesignFile* SessionApplication::design() {
    return workspace_->design ? &*workspace_->design : nullptr;
}

std::string SessionApplication::designFile() const {
    return workspace_->design ? workspace_->design->path().string() : std::string();
}

const dgn::DesignFile* SessionApplication::currentDesign() const {
    return workspace_->design ? &*workspace_->design : nullptr;
}

void SessionApplication::openDesign(const std::string& path) {
    endCommand();
    if (path.empty()) {
        journal_.note("newfile without a file name");
        return;
    }
    // The file is read completely before anything of the open file changes, so a file that
    // cannot be opened leaves the previous one open.
    dgn::DesignFile file = dgn::DesignFile::open(path);
    if (file.isCellLibrary()) {
        throw Error(err::AutomationError, "",
                    "The file \"" + path + "\" is a cell library, not a design file");
    }
    const StoredState state = readState(file);
    active_ = settingsFrom(state);
    views_ = file.headerViews();
    viewFills_ = viewFillsFrom(state);
    fence_ = Fence{};
    workspace_->design.emplace(std::move(file));
    workspace_->published.clear();
    selection_.clear();
    lastPoint_.reset();
    journal_.note("opened " + path);
    notifyChanged();
}

void SessionApplication::saveDesign() {
    dgn::DesignFile* file = design();
    if (!file) {
        journal_.note("nothing saved, no design file is open");
        return;
    }
    file->writeHeaderViews(views_);
    StoredState state = readState(*file);
    storeSettings(state, active_);
    storeViewFills(state, viewFills_);
    writeState(*file, state);
    notifyChanged();
}

void SessionApplication::compressDesign() {
    dgn::DesignFile* file = design();
    if (!file) {
        journal_.note("nothing compressed, no design file is open");
        return;
    }
    file->compress();
    selection_.clear();  // positions have changed
    notifyChanged();
}

void SessionApplication::requestQuit() {
    endCommand();
    quit_ = true;
}

void SessionApplication::Quit() {
    requestQuit();
}

double SessionApplication::uorsPerMaster() const {
    return workspace_->design ? workspace_->design->header().uorPerMaster() : 1.0;
}

dgn::Dimension SessionApplication::dimension() const {
    return workspace_->design ? workspace_->design->dimension() : dgn::Dimension::Two;
}

// Data points are entered in view 1, the view the stand-in's window shows.
dgn::Matrix3 SessionApplication::viewRotation() const {
    if (dimension() != dgn::Dimension::Three) return dgn::kIdentity;
    return rotationOf(views_[0]);
}

void SessionApplication::add(std::vector<dgn::Element> elements) {
    for (dgn::Element& e : elements) {
        e.level = active_.level;
        e.symbology = {active_.color, active_.weight, active_.style};
    }
    addAsGiven(std::move(elements));
}

void SessionApplication::addAsGiven(std::vector<dgn::Element> elements) {
    dgn::DesignFile* file = design();
    if (!file || elements.empty()) return;
    dgn::Element head = std::move(elements.front());
    elements.erase(elements.begin());
    if (elements.empty()) {
        file->append(head);
    } else {
        file->append(head, elements);
    }
    notifyChanged();
}

void SessionApplication::note(const std::string& text) {
    journal_.note(text);
}

// --- cells and the selection set ---------------------------------------------------------------

void SessionApplication::attachLibrary(const std::string& path) {
    if (path.empty()) {
        journal_.note("ATTACH LIBRARY without a file name");
        return;
    }
    std::error_code ec;
    const std::string full = std::filesystem::absolute(path, ec).string();
    try {
        openCellLibrary(full);
    } catch (const Error& e) {
        journal_.note("cell library not attached: " + e.description());
        return;
    }
    active_.cellLibrary = full;
    journal_.note("attached cell library " + full);
}

void SessionApplication::activateCell(const std::string& name) {
    if (name.empty()) {
        journal_.note("ACTIVE CELL without a cell name");
        return;
    }
    active_.cell = name;
    startCommand(std::make_unique<PlaceCell>(drawing()));
}

void SessionApplication::chooseAll() {
    dgn::DesignFile* file = design();
    if (!file) {
        journal_.note("nothing chosen, no design file is open");
        return;
    }
    selection_ = graphicElements(*file);
}

void SessionApplication::chooseNone() {
    selection_.clear();
}

void SessionApplication::changeLevel() {
    dgn::DesignFile* file = design();
    if (!file || selection_.empty()) {
        journal_.note("no level changed, no element is chosen");
        return;
    }
    for (uint64_t& position : selection_) {
        // An element deleted or moved since it was chosen is no longer there.
        const dgn::Record* record = file->at(position);
        if (!record || record->element.deleted || record->component) continue;
        position = moveToLevel(*file, position, active_.level);
    }
    notifyChanged();
}

void SessionApplication::deleteElement() {
    dgn::DesignFile* file = design();
    if (file && !selection_.empty()) {
        for (uint64_t position : selection_) {
            // An element deleted or moved since it was chosen is no longer there.
            const dgn::Record* record = file->at(position);
            if (!record || record->element.deleted || record->component) continue;
            file->remove(position);
        }
        selection_.clear();
        notifyChanged();
    }
    startCommand(std::make_unique<DeleteElement>(drawing()));
}

void SessionApplication::selectMatching() {
    dgn::DesignFile* file = design();
    if (!file) {
        journal_.note("nothing selected, no design file is open");
        return;
    }
    selection_.clear();
    for (uint64_t position : graphicElements(*file)) {
        if (selectBy_.selects(file->at(position)->element)) selection_.push_back(position);
    }
    journal_.note("SELECTBY selected " + std::to_string(selection_.size()) + " elements");
}

void SessionApplication::convertTo2d(const std::filesystem::path& target) {
    const dgn::DesignFile* file = design();
    if (!file || file->dimension() != dgn::Dimension::Three) {
        journal_.note("nothing converted, no 3-D design file is open");
        return;
    }
    std::vector<std::string> skipped;
    ustation::convertTo2d(*file, viewRotation(), target, skipped);
    for (const std::string& element : skipped) journal_.note("not converted: " + element);
    journal_.note("converted " + file->path().string() + " to 2-D: " + target.string());
}

// --- macros ------------------------------------------------------------------------------------

void SessionApplication::runMacroFile(const std::string& path) {
    const std::optional<std::string> source = platform::readWholeFile(path);
    if (!source) {
        journal_.note("macro not found: " + path);
        return;
    }
    if (macroDepth_ >= kMaxMacroDepth) {
        journal_.note("macro not run, macros nested too deeply: " + path);
        return;
    }
    std::vector<MacroStatement> statements;
    try {
        statements = parseMacro(*source);
    } catch (const UnknownMacroStatement& e) {
        journal_.unknownMacroStatement(path, e.line(), e.statement());
        return;
    } catch (const Error& e) {
        journal_.note("macro not run: " + path + ": " + e.description());
        return;
    }
    ++macroDepth_;
    try {
        runMacro(statements, *this);
    } catch (...) {
        --macroDepth_;
        throw;
    }
    --macroDepth_;
}

void SessionApplication::sendCommand(const std::string& keyins) {
    runKeyins(keyins);
}

void SessionApplication::sendReset() {
    reset();
}

void SessionApplication::setParseAll(const std::string& state) {
    const std::string value = phraseOf(state);
    if (value == "on" || value == "off") {
        parseAll_ = value == "on";
    } else if (value == "toggle") {
        parseAll_ = !parseAll_;
    } else {
        journal_.note("set parseall takes on, off or toggle: " + state);
    }
}

void SessionApplication::setAppVariable(const std::string& application, const std::string& variable,
                                        double value) {
    journal_.note("macro sets " + application + " " + variable + " = " + num::text(value));
    MbeSetAppVariable(application, variable, value);
}

// --- other members -----------------------------------------------------------------------------

void SessionApplication::MbeSetAppVariable(const std::string& application,
                                           const std::string& variable, double value) {
    const std::string app = text::upper(application);
    if (app == kUserPreferences && !setUserPreference(preferences_, variable, value)) {
        journal_.note("USERPREF variable not set: " + variable + " = " + num::text(value));
        return;
    }
    appVariables_[app + " " + variable] = value;
}

void SessionApplication::MbeSendAppMessage(const std::string& application,
                                           const std::string& message) {
    if (command_ && command_->appMessage(application, message)) return;
    journal_.note("no application takes the message: " + application + " " + message);
}

// --- applications and settings -----------------------------------------------------------------

void SessionApplication::loadApplication(const std::string& name) {
    const std::string app = text::upper(text::trimSpace(name));
    if (app == kSelectBy) {
        selectBy_.load();
    } else if (app == kConversion) {
        // The conversion opens its file dialog, modal, on the design file's folder.
        modalDialog_ = ModalDialog{app, "*.dgn", "", ""};
    } else if (app == kUserPreferences) {
        // The preference application shows its dialog, modal, until it is closed.
        modalDialog_ = ModalDialog{app, "", "", ""};
    } else {
        journal_.note("MDL application not found: " + name);
        return;
    }
    loadedApplications_.insert(app);
}

void SessionApplication::unloadApplication(const std::string& name) {
    const std::string app = text::upper(text::trimSpace(name));
    if (!loadedApplications_.erase(app)) {
        journal_.note("MDL application not loaded: " + name);
        return;
    }
    if (app == kSelectBy) selectBy_.unload();
    if (modalDialog_ && modalDialog_->application == app) modalDialog_.reset();
}

void SessionApplication::closeModalDialog(const std::string& button) {
    const std::string choice = text::upper(text::trimSpace(button));
    if (choice != "OK" && choice != "CANCEL") {
        journal_.note("MBE1 CLOSEMODAL without OK or CANCEL: " + button);
        return;
    }
    if (!modalDialog_) {
        journal_.note("no modal dialog is open to close");
        return;
    }
    const ModalDialog dialog = std::move(*modalDialog_);
    modalDialog_.reset();
    if (choice != "OK" || dialog.application != kConversion) return;
    if (dialog.fileName.empty()) {
        journal_.note("nothing converted, the dialog names no file");
        return;
    }
    std::filesystem::path folder = dialog.directory;
    if (folder.empty()) folder = std::filesystem::path(designFile()).parent_path();
    convertTo2d(folder / dialog.fileName);
}

std::optional<uint64_t> SessionApplication::locate(const dgn::Point& point) {
    const dgn::DesignFile* file = design();
    if (!file) return {};
    return locateElement(*file, point, preferences_.locateTolerance * uorsPerPixel(*file));
}

int32_t SessionApplication::MbeCExpressionLong(const std::string& expression) {
    return evaluateLong(expression, *workspace_);
}

std::string SessionApplication::MbeGetConfigVar(const std::string& name) {
    const std::string key = text::upper(text::trim(name));
    if (key == "MS_DEFCTBL") return colorTableFile().string();
    if (key == "MS_DATA") return dataFolder_.string() + "/";
    return "";
}

std::shared_ptr<mstn::Element> SessionApplication::MbeElement() {
    return std::make_shared<ElementCursor>(workspace_);
}

std::shared_ptr<mstn::RefFiles> SessionApplication::MbeRefFiles() {
    return std::make_shared<ReferenceList>(workspace_);
}

int32_t SessionApplication::Visible() {
    return visible_;
}

void SessionApplication::setVisible(int32_t visible) {
    const int32_t shown = visible != 0 ? 1 : 0;
    if (shown == visible_) return;
    visible_ = shown;
    notifyChanged();  // the window follows
}

}  // namespace vtl::ustation

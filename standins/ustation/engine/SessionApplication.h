// The stand-in's application object: the open design file, the active settings and the command
// state behind the key-ins. Key-ins run synchronously and in order; each is journaled.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Command.h"
#include "Fence.h"
#include "Journal.h"
#include "Macro.h"
#include "MdlApplications.h"
#include "SelectBy.h"
#include "StandIn.h"
#include "Workspace.h"

namespace vtl::ustation {

class SessionApplication : public StandInApplication, private Drawing, private MacroHost {
public:
    explicit SessionApplication(Journal& journal);

    void MbeSendCommand(const std::string& keyins) override;
    void MbeSendkeyin(const std::string& keyins) override;
    void MbeSetAppVariable(const std::string& application, const std::string& variable,
                           double value) override;
    void MbeSendAppMessage(const std::string& application, const std::string& message) override;
    void MbeSendReset() override;
    void mbeSendDataPoint(const mstn::Point& point) override;
    int32_t MbeCExpressionLong(const std::string& expression) override;
    std::string MbeGetConfigVar(const std::string& name) override;
    std::shared_ptr<mstn::Element> MbeElement() override;
    std::shared_ptr<mstn::RefFiles> MbeRefFiles() override;
    int32_t Visible() override;
    void setVisible(int32_t visible) override;
    void Quit() override;

    std::string designFile() const override;
    const dgn::DesignFile* currentDesign() const override;
    bool quitRequested() const override { return quit_; }

    // What the key-in table runs.
    Journal& journal() { return journal_; }
    ActiveSettings& active() override { return active_; }
    Drawing& drawing() { return *this; }
    void startCommand(std::unique_ptr<Command> command);
    void endCommand();
    void reset();
    void dataPoint(const mstn::Point& master);
    void relativeDataPoint(const mstn::Point& delta);
    void openDesign(const std::string& path);
    void saveDesign();
    void compressDesign();
    void runMacroFile(const std::string& path);
    // "set parseall on|off|toggle": kept as a setting of the session. What the setting changes in
    // MicroStation is not known here, so the stand-in parses its key-ins alike either way: a
    // text after "place text" that reads like a command runs as that command.
    void setParseAll(const std::string& state);
    void requestQuit();
    // Cells: the library a data point takes the active cell from, and the cell, which starts
    // placing it.
    void attachLibrary(const std::string& path);
    void activateCell(const std::string& name);
    // A view command ("fit all", "view iso", "on=5") acts on the views the next data points
    // (view 1, which the window shows) or "selview N" / "selview all" select, until a reset or
    // another command ends it; the command it interrupted then goes on.
    void startViewCommand(const std::string& name, std::function<void(int view)> apply);
    void selectView(const std::string& which);
    // The eight views of the open file, read when it opens and written by the save key-ins, and
    // whether each shows fills (kept with the stand-in's settings, V7 has no place for it).
    std::array<dgn::ViewInfo, dgn::kHeaderViews>& views() { return views_; }
    std::array<bool, dgn::kHeaderViews>& viewFills() { return viewFills_; }
    // The open design file, nullptr when none is open.
    dgn::DesignFile* design();
    // The fence and its lock, for the fence key-ins.
    Fence& fence() { return fence_; }
    // Files attached as references are read through the workspace's cache.
    Workspace& workspace() { return *workspace_; }
    // The selection set: "choose all" takes every graphic element, "change level" puts the
    // chosen ones on the active level.
    void chooseAll();
    void chooseNone();
    void changeLevel();
    // "DELETE ELEMENT" deletes the chosen elements at once; the tool then identifies elements
    // by data points, as without a selection.
    void deleteElement();
    // MDL applications: "MDL SILENTLOAD USERPREF" loads the preference application, which opens
    // its dialog; "MDL LOAD SELECTBY" the application that chooses elements by level and type;
    // "MDL LOAD cnvdgn" the 2-D conversion, which opens its file dialog. "MBE1 CLOSEMODAL OK"
    // closes the modal dialog open, the conversion's converting the open 3-D file through
    // view 1 into the file the dialog names.
    void loadApplication(const std::string& name);
    void unloadApplication(const std::string& name);
    void closeModalDialog(const std::string& button);
    std::optional<ModalDialog>& modalDialog() { return modalDialog_; }
    SelectBy& selectBy() { return selectBy_; }
    // SELECTBY EXECUTE: the elements the criteria select become the selection set.
    void selectMatching();

private:
    void runKeyins(const std::string& keyins);
    void runKeyin(const std::string& keyin);
    void convertTo2d(const std::filesystem::path& target);

    // Drawing
    double uorsPerMaster() const override;
    dgn::Dimension dimension() const override;
    dgn::Matrix3 viewRotation() const override;
    void add(std::vector<dgn::Element> elements) override;
    void addAsGiven(std::vector<dgn::Element> elements) override;
    void note(const std::string& text) override;
    dgn::DesignFile* drawingFile() override { return design(); }
    std::optional<uint64_t> locate(const dgn::Point& point) override;
    const UserPreferences& preferences() const override { return preferences_; }
    void changed() override { notifyChanged(); }
    // MacroHost
    void sendCommand(const std::string& keyins) override;
    void sendReset() override;
    void setAppVariable(const std::string& application, const std::string& variable,
                        double value) override;

    Journal& journal_;
    std::shared_ptr<Workspace> workspace_;
    // Made once: asking the file system on every call is a cost each member call would pay.
    const std::filesystem::path dataFolder_;
    ActiveSettings active_;
    std::unique_ptr<Command> command_;
    struct ViewCommand {
        std::string name;
        std::function<void(int view)> apply;
    };
    std::optional<ViewCommand> viewCommand_;
    std::array<dgn::ViewInfo, dgn::kHeaderViews> views_{};
    std::array<bool, dgn::kHeaderViews> viewFills_{};
    Fence fence_;
    std::vector<uint64_t> selection_;  // positions of the chosen elements
    SelectBy selectBy_;
    std::optional<mstn::Point> lastPoint_;
    std::map<std::string, double> appVariables_;
    UserPreferences preferences_;
    std::set<std::string> loadedApplications_;  // upper case
    std::optional<ModalDialog> modalDialog_;
    bool parseAll_ = true;
    int macroDepth_ = 0;
    int32_t visible_ = 1;
    bool quit_ = false;
};

}  // namespace vtl::ustation

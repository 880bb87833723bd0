// The stand-in's application object: the open design file, the active settings and the command
// state behind the key-ins. Key-ins run synchronously and in order; each is journaled.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Command.h"
#include "Journal.h"
#include "Macro.h"
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
    void requestQuit();

private:
    void runKeyins(const std::string& keyins);
    void runKeyin(const std::string& keyin);
    dgn::DesignFile* design();

    // Drawing
    double uorsPerMaster() const override;
    void add(std::vector<dgn::Element> elements) override;
    // MacroHost
    void sendCommand(const std::string& keyins) override;
    void setAppVariable(const std::string& application, const std::string& variable,
                        double value) override;

    Journal& journal_;
    std::shared_ptr<Workspace> workspace_;
    ActiveSettings active_;
    std::unique_ptr<Command> command_;
    std::optional<mstn::Point> lastPoint_;
    std::map<std::string, double> appVariables_;
    int macroDepth_ = 0;
    int32_t visible_ = 1;
    bool quit_ = false;
};

}  // namespace vtl::ustation

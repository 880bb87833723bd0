// The stand-in MicroStation's application object as its server and window see it: the
// automation members, plus what the window shows and whether the program is to end.
#pragma once

#include <functional>
#include <string>

#include "dgn/DesignFile.h"
#include "mstn/Automation.h"

namespace vtl::ustation {

class StandInApplication : public mstn::Application {
public:
    // The open design file's full path, "" while none is open.
    virtual std::string designFile() const = 0;
    // The open design file's elements as they are in memory, nullptr while none is open.
    virtual const dgn::DesignFile* currentDesign() const = 0;
    // Set by "exit" and Quit: the reply goes out first, then the process ends.
    virtual bool quitRequested() const = 0;
    // Called after every change of the open file or its contents (the window redraws).
    void onChanged(std::function<void()> callback) { changed_ = std::move(callback); }

protected:
    void notifyChanged() {
        if (changed_) changed_();
    }

private:
    std::function<void()> changed_;
};

}  // namespace vtl::ustation

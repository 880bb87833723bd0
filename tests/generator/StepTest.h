// A run step's test: the run state reset around it, TEMP and the log in a folder of its own, and
// the recording MicroStation in MSTNApp.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "generator/Variablen.h"
#include "support/FakeMicroStation.h"
#include "support/TempDir.h"

namespace vtl::test {

class StepTest : public ::testing::Test {
protected:
    StepTest() {
        resetRunState();
        FileOperationModule::TempFolder = dir.str();
        MSTNApp = fake;
        Variablen().logfile = (dir / "vtl.log").string();
    }
    ~StepTest() override {
        FileOperationModule::TempFolder.clear();
        MSTNApp.reset();
        resetRunState();
    }

    TempDir dir;
    std::shared_ptr<FakeMicroStation> fake = std::make_shared<FakeMicroStation>();
};

}  // namespace vtl::test

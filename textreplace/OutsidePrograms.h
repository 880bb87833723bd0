// The outside programs the tool drives by automation: Excel, which it creates as
// "Excel.Application", and MicroStation, which it attaches to (starting the default
// installation when none runs). Tests put programs of their own in place.
#pragma once

#include <memory>

#include "common/mstn/Automation.h"
#include "core/ScopedInstall.h"
#include "workbook/Excel.h"

namespace vtl::tarnwell {

class OutsidePrograms {
public:
    virtual ~OutsidePrograms() = default;
    // A new Excel instance; raises error 429 when none can be created.
    virtual std::unique_ptr<excel::Application> createExcel() = 0;
    // The automation object of MicroStation: MSTNOpen of the default installation.
    virtual std::shared_ptr<mstn::Application> openMicroStation() = 0;
};

// The programs in force: the workbook files' Excel and the installed MicroStation, unless a test
// installed its own.
OutsidePrograms& outside();
void setOutsidePrograms(OutsidePrograms* programs);
using ScopedOutsidePrograms = ScopedInstall<OutsidePrograms, setOutsidePrograms>;

}  // namespace vtl::tarnwell

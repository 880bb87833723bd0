#include "textreplace/OutsidePrograms.h"

#include "common/modMSTN.h"
#include "workbook/ExcelFile.h"

namespace vtl::tarnwell {

namespace {

class InstalledPrograms : public OutsidePrograms {
public:
    std::unique_ptr<excel::Application> createExcel() override {
        return excel::createApplication();
    }
    std::shared_ptr<mstn::Application> openMicroStation() override {
        return modMSTN::MSTNOpen(modMSTN::GetDefaultMSTNPath());
    }
};

OutsidePrograms* installed = nullptr;

}  // namespace

OutsidePrograms& outside() {
    static InstalledPrograms programs;
    return installed ? *installed : programs;
}

void setOutsidePrograms(OutsidePrograms* programs) {
    installed = programs;
}

}  // namespace vtl::tarnwell

// The drawing steps of the program, each on the run state and the MicroStation of the run.
#pragma once

#include <string>

#include "RunSteps.h"

namespace vtl {

class DefaultRunSteps : public RunSteps {
public:
    void leitung_einzeichnen(bool withMarkerCell) override;
    void VTLhineinkopieren() override;
    void startPellmark() override;
    void findI3DimportFaktor() override;
    void createI3Dfile() override;
    void lineEndNumber() override;
    void IsoCoverSheet() override;
    void Gridfile_zerlegen() override;
    void find_endpoint_diff() override;
    void searchidf() override;
    void placeTabelle() override;
    void iplotiso(const std::string& file) override;
};

}  // namespace vtl

// The drawing steps of one header file, as the run driver calls them in its fixed order. Each
// works on the run state and the MicroStation in MSTNApp; a step that fails sets StepError and
// raises its error again.
#pragma once

#include <string>

namespace vtl {

class RunSteps {
public:
    virtual ~RunSteps() = default;
    virtual void leitung_einzeichnen(bool withMarkerCell) = 0;
    virtual void VTLhineinkopieren() = 0;
    virtual void startPellmark() = 0;
    virtual void findI3DimportFaktor() = 0;
    virtual void createI3Dfile() = 0;
    virtual void lineEndNumber() = 0;
    virtual void IsoCoverSheet() = 0;
    virtual void Gridfile_zerlegen() = 0;
    virtual void find_endpoint_diff() = 0;
    virtual void searchidf() = 0;
    virtual void placeTabelle() = 0;
    virtual void iplotiso(const std::string& file) = 0;
};

}  // namespace vtl

#include "Tools.h"

#include "CellLibrary.h"
#include "dgn/DesignFile.h"
#include "dgn/ElementFormat.h"

namespace vtl::ustation {

void newDesign(const std::string& file, bool threeD) {
    dgn::DesignFile::create(file, threeD ? dgn::Dimension::Three : dgn::Dimension::Two);
}

void makeCell(const std::string& library, const std::string& name, const std::string& design) {
    storeCell(library, name, design);
}

void dumpDesign(const std::string& file, std::ostream& out) {
    const dgn::DesignFile design = dgn::DesignFile::open(file);
    for (const dgn::Record& record : design.records()) {
        out << dgn::describe(record, design.header()) << "\n";
    }
}

}  // namespace vtl::ustation

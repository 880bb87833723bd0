#include "support/FakeExcel.h"

#include "core/Error.h"

namespace vtl::test {

std::unique_ptr<excel::Application> FakeExcel::create() {
    journal.push_back("CreateObject Excel.Application");
    if (!installed)
        throw Error(err::CannotCreateObject, "", "ActiveX component can't create object");
    return excel::createApplication(&journal);
}

}  // namespace vtl::test

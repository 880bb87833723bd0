#include "FileOperationModule.h"

namespace vtl::FileOperationModule {
std::string TempFolder;
}

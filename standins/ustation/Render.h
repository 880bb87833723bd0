// A picture of a design file's elements, fitted into the given size, on black as MicroStation
// shows a view.
#pragma once

#include <QImage>
#include <QSize>
#include <string>

#include "dgn/DesignFile.h"

namespace vtl::ustation {

// From the elements in memory, as the window shows the open file.
QImage renderDesign(const dgn::DesignFile& file, QSize size);
// From the file on disk; a file that cannot be read gives a picture of the message.
QImage renderDesign(const std::string& designFile, QSize size);

}  // namespace vtl::ustation

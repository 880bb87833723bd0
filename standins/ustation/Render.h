// A picture of a design file's elements, fitted into the given size, on black as MicroStation
// shows a view.
#pragma once

#include <QImage>
#include <QSize>
#include <string>

namespace vtl::ustation {

QImage renderDesign(const std::string& designFile, QSize size);

}  // namespace vtl::ustation

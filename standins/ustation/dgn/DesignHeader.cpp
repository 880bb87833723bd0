#include "dgn/DesignHeader.h"

#include "core/Error.h"
#include "core/Numbers.h"
#include "dgn/DFloat.h"
#include "dgn/GroupDataCodec.h"
#include "dgn/Layout.h"

namespace vtl::dgn {

namespace {

// TCB fields.
constexpr size_t kSubPerMaster = 1112;
constexpr size_t kUorPerSub = 1116;
constexpr size_t kMasterName = 1120;
constexpr size_t kSubName = 1122;
constexpr size_t kDimensionFlags = 1214;
constexpr uint8_t kThreeDimensional = 0x40;
constexpr size_t kGlobalOrigin = 1240;
// Eight view definitions, one after the other.
constexpr size_t kViews = 46;
constexpr uint16_t kViewLineWeights = 0x0008;
constexpr double kViewSizeMaster = 100.0;

// The first byte of 3-D header elements carries these bits besides level 8.
constexpr uint8_t kThreeDimensionalLeader = 0xC0;
constexpr size_t kDigitizerSetupSize = 356;
constexpr size_t kLevelSymbologySize = 156;

std::string unitName(const uint8_t* p) {
    std::string name(reinterpret_cast<const char*>(p), 2);
    name.erase(name.find_last_not_of(std::string(" \0", 2)) + 1);
    return name;
}

void putUnitName(uint8_t* p, const std::string& name) {
    if (name.size() > 2)
        raise(err::InvalidCall, "The unit name \"" + name + "\" is longer than 2 characters");
    for (size_t i = 0; i < name.size(); ++i) p[i] = static_cast<uint8_t>(name[i]);
}

Bytes element(int elementType, size_t size, uint8_t leader) {
    Bytes bytes(size, 0);
    bytes[0] = leader;
    bytes[1] = static_cast<uint8_t>(elementType);
    putWord(bytes.data() + 2, static_cast<uint16_t>(size / 2 - 2));
    return bytes;
}

ViewInfo firstView(const DesignHeader& header) {
    ViewInfo view;
    view.flags = kViewOn | kViewLineWeights;
    view.levels = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    view.origin = header.toUors(0, 0, 0);
    const int32_t size = num::toLong(header.distanceToUors(kViewSizeMaster));
    view.delta = {size, size, header.dimension == Dimension::Three ? size : 0};
    return view;
}

size_t viewAt(int view) {
    if (view < 1 || view > static_cast<int>(kHeaderViews)) {
        raise(err::InvalidCall, "There is no view " + std::to_string(view));
    }
    return kViews + static_cast<size_t>(view - 1) * layout::kViewInfoSize;
}

Bytes makeTcb(const DesignHeader& header) {
    const bool three = header.dimension == Dimension::Three;
    Bytes tcb = element(type::DesignHeader, kDesignHeaderSize,
                        static_cast<uint8_t>(8 | (three ? kThreeDimensionalLeader : 0)));
    putLong(tcb.data() + kSubPerMaster, header.units.subPerMaster);
    putLong(tcb.data() + kUorPerSub, header.units.uorPerSub);
    putUnitName(tcb.data() + kMasterName, header.units.master);
    putUnitName(tcb.data() + kSubName, header.units.sub);
    tcb[kDimensionFlags] = three ? kThreeDimensional : 0;
    for (size_t i = 0; i < 3; ++i) toDFloat(header.origin[i], tcb.data() + kGlobalOrigin + 8 * i);
    // View 1 is on; the others are defined alike and off, ready to be switched on.
    ViewInfo view = firstView(header);
    for (int v = 1; v <= static_cast<int>(kHeaderViews); ++v) {
        writeViewInfo(tcb.data() + viewAt(v), view);
        view.flags &= static_cast<uint16_t>(~kViewOn);
    }
    return tcb;
}

}  // namespace

double DesignHeader::uorPerMaster() const {
    const double value = static_cast<double>(units.subPerMaster) * units.uorPerSub;
    return value > 0 ? value : 1.0;
}

double DesignHeader::coordinateToMaster(int32_t uors, int axis) const {
    return (uors - origin[static_cast<size_t>(axis)]) / uorPerMaster();
}

std::array<double, 3> DesignHeader::toMaster(const Point& p) const {
    return {coordinateToMaster(p.x, 0), coordinateToMaster(p.y, 1), coordinateToMaster(p.z, 2)};
}

int32_t DesignHeader::coordinateToUors(double master, int axis) const {
    return num::toLong(master * uorPerMaster() + origin[static_cast<size_t>(axis)]);
}

Point DesignHeader::toUors(double x, double y, double z) const {
    return Point{coordinateToUors(x, 0), coordinateToUors(y, 1),
                 dimension == Dimension::Three ? coordinateToUors(z, 2) : 0};
}

DesignHeader readDesignHeader(const uint8_t* tcb) {
    DesignHeader header;
    header.dimension =
        (tcb[kDimensionFlags] & kThreeDimensional) ? Dimension::Three : Dimension::Two;
    header.units.subPerMaster = getLong(tcb + kSubPerMaster);
    header.units.uorPerSub = getLong(tcb + kUorPerSub);
    header.units.master = unitName(tcb + kMasterName);
    header.units.sub = unitName(tcb + kSubName);
    for (size_t i = 0; i < 3; ++i) header.origin[i] = fromDFloat(tcb + kGlobalOrigin + 8 * i);
    return header;
}

ViewInfo readHeaderView(const uint8_t* tcb, int view) {
    return readViewInfo(tcb + viewAt(view));
}

void writeHeaderView(uint8_t* tcb, int view, const ViewInfo& info) {
    writeViewInfo(tcb + viewAt(view), info);
}

Dimension libraryDimension(const uint8_t* libraryHeader) {
    return (libraryHeader[0] & kThreeDimensionalLeader) == kThreeDimensionalLeader
               ? Dimension::Three
               : Dimension::Two;
}

Bytes makeDesignFileStart(const DesignHeader& header) {
    Bytes bytes = makeTcb(header);
    const Bytes digitizer = element(type::DigitizerSetup, kDigitizerSetupSize, 0);
    const Bytes symbology = element(type::LevelSymbology, kLevelSymbologySize, 0);
    bytes.insert(bytes.end(), digitizer.begin(), digitizer.end());
    bytes.insert(bytes.end(), symbology.begin(), symbology.end());
    return bytes;
}

Bytes makeLibraryStart(Dimension dimension) {
    const bool three = dimension == Dimension::Three;
    return element(type::GroupData, kLibraryHeaderSize,
                   static_cast<uint8_t>(8 | (three ? kThreeDimensionalLeader : 0)));
}

}  // namespace vtl::dgn

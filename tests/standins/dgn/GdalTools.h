// GDAL's command line tools as the independent reader and foreign writer of design files.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vtl::test {

// One feature as "ogrinfo -al" lists it.
struct OgrFeature {
    std::map<std::string, std::string> fields;  // "Type" -> "4", "Text" -> "Hello", ...
    std::string geometry;                       // WKT, e.g. "LINESTRING (1 2,3 4)"
    std::string style;  // the OGR style, e.g. LABEL(t:"12",s:5.000g,f:WORKING,a:30)

    int number(const std::string& name) const;
    std::string field(const std::string& name) const;
    // The geometry's kind ("LINESTRING", "POINT Z") and its numbers, as GDAL's WKT writes
    // the same number as "0" or "0.0".
    std::string kind() const;
    std::vector<double> coordinates() const;
};

// The features ogrinfo reads from a file; fails the test when ogrinfo cannot read it.
std::vector<OgrFeature> ogrFeatures(const std::filesystem::path& file);

// The features of one element type, in file order.
std::vector<OgrFeature> ofType(const std::vector<OgrFeature>& features, int elementType);

// What "ogrinfo -al" writes for a file, for checks on the listing as a whole.
std::string ogrinfoListing(const std::filesystem::path& file);

// Writes a design file from a CSV file with a WKT column through "ogr2ogr -f DGN", on GDAL's
// 2-D seed or, with threeD, its 3-D seed.
void ogr2ogrDgn(const std::filesystem::path& csv, const std::filesystem::path& dgn,
                bool threeD = false);

}  // namespace vtl::test

// The 3-D iso view of a pipeline: a 3-D drawing in the configured view direction with the
// line-end numbers at their points, its 2-D conversion in TMP, and the numbers laid out again in
// two columns beside the converted drawing, each joined to its point by a leader.
#pragma once

#include <string>
#include <vector>

#include "HeaderData.h"
#include "TextKeyins.h"
#include "mstn/Automation.h"

namespace vtl {

class RunHost;

// The working file of the 2-D conversion, in the TMP folder found at start-up.
inline constexpr char kI3d2dName[] = "I3D2D.dgn";
std::string i3d2dFile();

// The key-ins of MicroStation's 2-D conversion, which writes the open 3-D drawing, seen through
// view 1, into the target file.
std::vector<std::string> conversionKeyins(const std::string& target);

// One text of the converted drawing: its origin and its text.
struct TextLabel {
    double X = 0;
    double Y = 0;
    std::string Text;
};

// The pipeline's size in thousands of drawing units: the largest range of the X, Y and Z
// coordinates of TopoTable rows 1 to TopoCount, taken by their absolute value; texts of at most
// two characters and 0 do not count. A coordinate that is no number raises error 13. Without
// any coordinate that counts the result is 0 or less.
double importFactor(const HeaderData& header);

// "M:R" with R multiplied by the factor; a scale without a ":" after its first character stays
// as it is. Error 13 when the part after the ":" is no number.
std::string scaledRefScale(const std::string& refscale, double factor);

// The extent of the line strings' end points: each end widens the box on either side of both
// axes.
struct LabelBox {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool empty = true;

    void take(const mstn::Point& start, const mstn::Point& end);
    void grow(double margin);
};

// Orders the labels by Y, highest first, exchanging whole records as the sort compares them.
// Error source "SortArray".
void SortArray(std::vector<TextLabel>& labels);

// Where a label goes: its text at (textX, height), its leader from its point to (leaderX,
// height).
struct LabelPlacement {
    TextLabel label;
    double textX = 0;
    double leaderX = 0;
    double height = 0;
};

// The labels, sorted, in the column of the nearer box corner (upper right, else lower left),
// each column going down from 3 text heights above its first label.
std::vector<LabelPlacement> placeLabels(const std::vector<TextLabel>& sorted, const LabelBox& box,
                                        double textHeight);

// The key-ins of one label: its leader as a line, then its text in the label symbology.
std::vector<std::string> labelKeyins(const LabelPlacement& placement, const TextSettings& text);

// The steps of the run: the factor with its log line, and the two drawings. Each failure sets
// StepError and is raised with the step's name in its source.
void findI3DimportFaktor();
void createI3Dfile(RunHost& host);

}  // namespace vtl

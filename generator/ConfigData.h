// The configuration values of the run state, as read from the configuration INI. Each value is
// named as its key; sections, keys and built-in defaults are listed where the INI is read
// (ConfigINI.cpp). Before the first read every value is empty or 0.
#pragma once

#include <cstdint>
#include <string>

namespace vtl {

struct ConfigData {
    // [Vistrel]
    std::string seedfile;
    // The INI's value until a run replaces it by the folder of each header file.
    std::string isopath;
    std::string pipelv;
    std::string pipeco;
    std::string pipewt;
    std::string pipelc;
    std::string delLevel;
    std::string mstnseedview;
    std::string refscale;
    std::string refpoint;
    // Only exactly "no" turns the level change off.
    std::string autochangelevel;
    int32_t Unitfactor = 0;
    std::string NotUsedComponent;

    // The main window's option boxes (0, 1 or 2; only 1 counts as chosen) and workbook box. The
    // window shows these values; setOptionBox applies the couplings of the boxes.
    int16_t createVTL = 0;  // [Programm]
    int16_t createICS = 0;  // [Programm]
    int16_t createI3D = 0;  // [Programm]
    int16_t Pellmark = 0;   // [Pellmark]
    std::string excelfile;  // [Pellmark]

    // [IsoCoverSheet] line-end number texts
    std::string LENtextco, LENtextlv, LENtextwt, LENtextlc;
    std::string LENtexttx, LENtexttw, LENtextft, LENtextJustification;
    // [I3D] line-end labels of the 3-D view
    std::string I3DLENtextco, I3DLENtextlv, I3DLENtextwt, I3DLENtextlc;
    std::string I3DLENtexttx, I3DLENtexttw, I3DLENtextft, I3DLENtextJustification;
    // [IsoCoverSheet] end-number table
    std::string TABtextco, TABtextlv, TABtextwt, TABtextlc;
    std::string TABtexttx, TABtexttw, TABtextft, TABtextJustification;
    std::string TABlineheight, TABlinespacing, TABnumberpoint, TABlabelpoint;
    std::string TABXpoint, TABYpoint, TABZpoint;
    int16_t TABround = 0;
    double TABfactor = 0;
    double TABaccuracy = 0;
    double DVCS_X = 0;
    double DVCS_Y = 0;
    double DVCS_Z = 0;
    double gridextension = 0;
    // [IsoCoverSheet] line labels
    std::string LineLabeltextco, LineLabeltextlv, LineLabeltextwt, LineLabeltextlc;
    std::string LineLabeltexttx, LineLabeltexttw, LineLabeltextft, LineLabeltextJustification;
    std::string LineLabelpoint;
    // [IsoCoverSheet] grid file and cover sheet
    std::string Gridfile;
    std::string ICSseedfile;
    std::string ICSrefscale;
    std::string ICSrefpoint;
    std::string ICSmacro;

    // [IPlot]
    std::string IParmfile;
    std::string IPlotque1, IPlotque2, IPlotque3, IPlotque4, IPlotque5;

    // [I3D]
    std::string I3Dseedfile;
    std::string I3Drefscale;
    std::string I3Drefpoint;
    std::string View_direction;
};

}  // namespace vtl

// The main program's run state, shared by the main window, its modules and the wizard.
//
// Two program-wide values of the run state live in the support library and are used from there:
// the MicroStation automation object vtl::MSTNApp (mstnmacro.h) and the folder for batch files,
// vtl::FileOperationModule::TempFolder. The one file dialog is vtl::FileDialog() (Dialog.h).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ConfigData.h"
#include "GridData.h"
#include "HeaderData.h"
#include "IdfData.h"
#include "mstn/Automation.h"

namespace vtl {

struct RunState : ConfigData, HeaderData, GridData, IdfData {
    // --- Files of the program ---
    // The active configuration INI; every INI access of the window, the run and the reader.
    std::string inifile;
    // Folder of inifile with its trailing separator: where the INI dialog starts.
    std::string IniFolder;
    // The run log, TMP/vtl.log.
    std::string logfile;
    // The TMP folder as found at start-up: the run log and the 3-D view's working file live there.
    std::string TmpFolder;

    // --- The header files of the next run ---
    std::vector<std::string> IsoFileList;
    // Last index of IsoFileList that a run processes.
    int IsoFileLast = 0;

    // --- The header file being processed ---
    int IsoFileIndex = 0;
    std::string HFile;
    // Base name of HFile, without folder and extension.
    std::string IsoName;
    // isopath & IsoName & ".vtl", ".ics", ".I3D": overview, cover sheet and 3-D view.
    std::string VtlFile;
    std::string IcsFile;
    std::string I3dFile;
    // The design file last opened in MicroStation. It keeps its value from one header file, and
    // one run, to the next.
    std::string CurrentFile;
    // CurrentFile belongs to the header file being processed: its drawing has been opened. Until
    // then the run's error lines name the header file.
    bool CurrentFileOpened = false;

    // --- The 3-D view of the header file being processed ---
    // The pipeline's size in thousands of drawing units.
    double i3dimportfaktor = 0;
    // I3Drefscale and the label sizes rescaled by the factor; the configured values stay as read,
    // so every header file starts from them.
    std::string I3DrefscaleScaled;
    std::string I3DLENtexttxScaled;
    std::string I3DLENtexttwScaled;
    // The 2-D conversion of this header file's 3-D view was written (TMP/I3D2D.dgn).
    bool I3d2dMade = false;

    // Element and point taken from MSTNApp; released with it.
    std::shared_ptr<mstn::Element> MSTNElement;
    mstn::Point MSTNPoint;

    // --- Errors of a run ---
    // The error list: created empty at the start of a run, released after its conclusion is
    // written; absent in between.
    std::optional<std::vector<std::string>> ErrorList;
    // Set by a failing step; read and cleared by the run driver.
    bool StepError = false;
    // A file of the current run failed; chooses the run's final message.
    bool RunError = false;

    // --- The user's number separators found at start-up, restored at the end ---
    std::string SavedDecimal;
    std::string SavedThousand;
};

// The one run state of the program.
RunState& Variablen();

// Brings the run state back to its initial values (empty texts, zeros, no error list) and
// releases the MicroStation objects. Tests start from here.
void resetRunState();

}  // namespace vtl

// The file boxes of the wizard with their Open and Browse buttons: each box writes its INI key
// at once and makes the working copy that the previews draw into.
#include "WizardForm.h"
#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "common/ShellExecModule.h"
#include "common/mstnmacro.h"
#include "core/Error.h"
#include "core/Text.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

namespace vtl::wizard {

namespace {

constexpr const char* kFilters[8] = {
    "VTL seed file (*.dgn)|*.dgn", "ISO file (*.i01)|*.i01",         "VTL seed file (*.dgn)|*.dgn",
    "ICS seed file (*.dgn)|*.dgn", "VTL config file (*.ini)|*.ini",  "ICS seed file (*.dgn)|*.dgn",
    "I3D seed file (*.dgn)|*.dgn", "Cell library file (*.cel)|*.cel"};

// What ReadINI gives for a missing key: no stored value holds a line break.
constexpr char kMissing[] = "\n";

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : text::trim(path.substr(0, slash + 1));
}

// Restores a flag when the scope ends, however it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

// The box an index names; the mirror boxes 2 and 5 are their element 1.
TextBox& WizardForm::fileBox(int Index) {
    switch (Index) {
        case 0:
            return *txtVTLSeedFile[0];
        case 1:
            return txtISOFile;
        case 2:
            return *txtVTLSeedFile[1];
        case 3:
            return *txtICSSeedFile[0];
        case 5:
            return *txtICSSeedFile[1];
        case 6:
            return txtI3DSeedFile;
        case 7:
            return txtCelFile;
        default:
            return txtVTLConfig;
    }
}

void WizardForm::btnOpenFile_Click(int Index) {
    try {
        // The buttons of the mirror boxes act on element 0.
        const int box = Index == 2 ? 0 : Index == 5 ? 3 : Index;
        int32_t result = 0;
        ShellExecModule::ShellExec("Open", fileBox(box).Text(), "", "", result);
    } catch (...) {
        showError(platform::vbExclamation);
    }
}

void WizardForm::btnSelectFile_Click(int Index) {
    BusyScope busy(*this);
    try {
        SaveTabSettings(SSTab.Tab());
        platform::FileDialogRequest request;
        if (Index >= 0 && Index <= 7) {
            request.filters = platform::parseFileFilter(kFilters[Index]);
            const std::string current = fileBox(Index).Text();
            if (!current.empty()) request.initialDir = folderOf(current);
        }
        const std::string chosen = platform::fileDialogs().show(request);
        if (text::trim(chosen).empty()) return;
        const int target = Index == 2 ? 0 : Index == 5 ? 3 : Index;
        fileBox(target).setText(chosen, By::User);
        if (Index != 4 && Index != 7) SSTab_Click(-1);
    } catch (...) {
        showError(platform::vbExclamation);
    }
}

void WizardForm::txtVTLConfig_Change() {
    BusyScope busy(*this);
    SetControlsEnabled(false);
    try {
        // The pages show nothing of this file until they are loaded from it.
        loaded_ = {};
        touched_ = {};
        {
            FlagScope loading(loadingConfig_);
            const std::pair<const char*, const char*> keys[] = {{"Vistrel", "seedfile"},
                                                                {"IsoCoverSheet", "icsseedfile"},
                                                                {"I3D", "I3Dseedfile"},
                                                                {"Vistrel", "ISOGENIsometryFile"}};
            TextBox* boxes[] = {txtVTLSeedFile[0].get(), txtICSSeedFile[0].get(), &txtI3DSeedFile,
                                &txtISOFile};
            for (size_t i = 0; i < 4; ++i) {
                const std::string value = readKey(keys[i].first, keys[i].second);
                boxes[i]->setText(FileOperationModule::IsFileExists(value, 0) ? value : "");
            }
        }
        SSTab_Click(-1);
    } catch (...) {
        showError(platform::vbExclamation);
    }
    SetControlsEnabled(true);
}

void WizardForm::txtVTLSeedFile_Change(int Index) {
    seedBoxChanged(txtVTLSeedFile, Index, "Vistrel", "seedfile", Role::VistrelSeed);
}

void WizardForm::txtICSSeedFile_Change(int Index) {
    seedBoxChanged(txtICSSeedFile, Index, "IsoCoverSheet", "icsseedfile", Role::CoverSheetSeed);
}

void WizardForm::seedBoxChanged(std::array<std::unique_ptr<TextBox>, 2>& box, int Index,
                                const char* section, const char* key, Role role) {
    // The handler's own update of the mirror: its file is being copied already.
    if (mirroring_) return;
    if (text::trim(box[static_cast<size_t>(Index)]->Text()).empty()) return;
    BusyScope busy(*this);
    TextBox& first = *box[0];
    {
        FlagScope mirror(mirroring_);
        box[1]->setText(first.Text());
    }
    workingCopy(first, section, key, role);
    box[1]->Tag = first.Tag;
}

void WizardForm::txtISOFile_Change() {
    if (text::trim(txtISOFile.Text()).empty()) return;
    BusyScope busy(*this);
    workingCopy(txtISOFile, "Vistrel", "ISOGENIsometryFile", Role::Iso);
}

void WizardForm::workingCopy(TextBox& box, const char* section, const char* key, Role role) {
    if (window.mousePointer) window.mousePointer(11);
    try {
        box.Tag = copies_.copyOf(role, box.Text());
        writeKey(section, key, box.Text());
        // The copy ends the MicroStation it attaches to, which is the wizard's own: the wizard
        // lets go of it first, so its watchdog does not take the exit for a crash.
        MSTNApp.reset();
        const std::string folder = copies_.freshRoleFolder(role);
        previews_->newWorkingCopy();
        VTLWizardBase::CopyDGNWithRefFiles(box.Text(), folder, [this] { return attach(); });
    } catch (...) {
        showError(platform::vbExclamation);
    }
    if (window.mousePointer) window.mousePointer(0);
}

void WizardForm::txtI3DSeedFile_Change() {
    try {
        txtI3DSeedFile.Tag = copies_.roleFolder(Role::Iso3D) + "/I3D2D.dgn";
        copies_.makeRoleFolder(Role::Iso3D);
        // A configured seed that is missing empties the box; its key keeps the path.
        if (loadingConfig_ && txtI3DSeedFile.Text().empty()) return;
        writeKey("I3D", "I3Dseedfile", txtI3DSeedFile.Text());
    } catch (...) {
        showError(platform::vbExclamation);
    }
}

std::string WizardForm::readKey(const std::string& section, const std::string& key) {
    return INIFileModule::ReadINI(txtVTLConfig.Text(), section, key, "", true, false);
}

std::string WizardForm::loadKey(const std::string& section, const std::string& key) {
    const std::string value = INIFileModule::ReadINI(txtVTLConfig.Text(), section, key, kMissing);
    if (value == kMissing) return "";
    stored_[groupOf(section)].insert(text::lower(section + "/" + key));
    return value;
}

// A key that already holds the value is left alone, so an INI that cannot be written is only
// a fault when something in it is to change.
void WizardForm::writeKey(const std::string& section, const std::string& key,
                          const std::string& value) {
    const std::string ini = txtVTLConfig.Text();
    if (INIFileModule::ReadINI(ini, section, key, kMissing) == value) return;
    if (INIFileModule::WriteINI(ini, section, key, value) == 0) {
        raise(kOwnError, "The configuration file '" + ini + "' cannot be written");
    }
}

}  // namespace vtl::wizard

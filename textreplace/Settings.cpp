#include "textreplace/Settings.h"

#include <filesystem>
#include <system_error>

#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "core/Files.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::tarnwell::Settings {

namespace {

std::string read(const std::string& iniFile, const char* key, const char* defaultValue) {
    return INIFileModule::ReadINI(iniFile, kSection, key, defaultValue);
}

bool isNumber(const std::string& value) {
    try {
        return num::parseNumber(value).has_value();
    } catch (const Error&) {
        return false;  // beyond the range of a number
    }
}

std::string existingFolderOr(const std::string& path, const std::string& folder) {
    return FileOperationModule::IsFileExists(folder, 1) ? path : std::string();
}

}  // namespace

std::string checkedUnits(const std::string& value) {
    const std::string units = text::upper(text::trim(value));
    return units == "M" || units == "MM" ? units : "M";
}

std::string checkedDistance(const std::string& value) {
    const std::string distance = text::trim(value);
    if (distance.find(',') != std::string::npos || !isNumber(distance)) return "0";
    return distance;
}

std::string checkedFlag(const std::string& value) {
    const std::string flag = text::trim(value);
    return flag == "1" || flag == "0" ? flag : "0";
}

Values Load(const std::string& iniFile) {
    std::error_code ec;
    if (std::filesystem::exists(iniFile, ec)) files::readFile(iniFile);
    Values v;
    const std::string inputDir = read(iniFile, "InputDir", "");
    v.InputDir = existingFolderOr(inputDir, inputDir);
    v.Extension = read(iniFile, "Extension", "dgn,i0*");
    const std::string workbook = read(iniFile, "XLSFile", "");
    v.XLSFile = existingFolderOr(workbook, FileOperationModule::GetPathName(workbook));
    v.Units = checkedUnits(read(iniFile, "Units", ""));
    v.DistX = checkedDistance(read(iniFile, "DistX", ""));
    v.DistY = checkedDistance(read(iniFile, "DistY", ""));
    v.DistZ = checkedDistance(read(iniFile, "DistZ", ""));
    v.Move = checkedFlag(read(iniFile, "Move", ""));
    v.ProcessFolder = checkedFlag(read(iniFile, "ProcessFolder", "1")) == "1" ? 1 : 0;
    v.ProcessFiles = checkedFlag(read(iniFile, "ProcessFiles", "0")) == "1" ? 1 : 0;
    return v;
}

void Write(const std::string& iniFile, const std::string& key, const std::string& value) {
    INIFileModule::WriteINI(iniFile, kSection, key, value);
}

}  // namespace vtl::tarnwell::Settings

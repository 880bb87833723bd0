// The process environment as the programs read it.
#pragma once

#include <filesystem>
#include <string>

namespace vtl::env {

// The value of an environment variable, "" when unset.
std::string get(const std::string& name);

// The folders named by TEMP and TMP. Where one is unset or empty, TMPDIR stands in, else "/tmp".
// A variable that names a missing folder is returned as it is.
std::string tempFolder();
std::string tmpFolder();

// The folder of all state the stand-ins share across processes (the registry store, the
// MicroStation endpoint and journal): VTL_PLATFORM_HOME, else a folder in the user's data folder.
// Created when missing.
std::filesystem::path platformHome();

// The folder of the running program's executable.
std::filesystem::path programFolder();
// The running program's executable.
std::filesystem::path programFile();

// Finds a program: first on PATH, then among the stand-ins built with the system.
std::filesystem::path findProgram(const std::string& name);

}  // namespace vtl::env

#pragma once

// The installer's command line, exactly as the package expects it.
inline constexpr const char* kInstallerCommandLine = "msiexec /i App_x86 SETUPVAR1=0";

// Starts the installer through the search path without waiting for it and
// returns 0 whatever happened: a missing installer reports nothing. The
// installer inherits none of Setup's descriptors; its standard input,
// output and error are the null device.
int RunSetup();

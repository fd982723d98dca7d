#include "SetupLauncher.h"

// No window, no command line: start the installer and end.
int main()
{
    return RunSetup();
}

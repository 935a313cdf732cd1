// verdantis, as the portable bundle ships it: the small starter beside the
// add-on's files. It needs nothing but the C and C++ runtime every Linux
// desktop has, checks that the folder with the program and its libraries is
// complete, and then becomes the program in that folder (the same process,
// same arguments), which takes the add-on's folder to be the one above its own.

#include <gnu/libc-version.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/linux/AppFolder.h"
#include "platform/linux/BundleCheck.h"
#include "platform/linux/StartProblem.h"

int main(int /*argc*/, char* argv[]) {
    const std::string folder = vrx::ExecutableFolder();
    std::string problem = vrx::BundleProblem(folder, ::gnu_get_libc_version());
    if (problem.empty()) {
        const std::string program = folder + "/" + vrx::kRuntimeFolderName + "/verdantis";
        ::execv(program.c_str(), argv);
        problem = "The program " + program + " cannot be started: " + std::strerror(errno) + ".";
    }
    vrx::ReportStartProblem(problem);
    return 1;
}

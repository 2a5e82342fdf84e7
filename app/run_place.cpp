#include "app/run_place.h"

#include "app/app_paths.h"
#include "runtime/gbk.h"
#include "xlsodbc/driver_registration.h"

#include <climits>
#include <unistd.h>

namespace qr::app {

namespace {

std::optional<std::string> resolved(const std::string& pathUtf8)
{
    char buffer[PATH_MAX];
    if (::realpath(pathUtf8.c_str(), buffer) == nullptr || ::access(buffer, R_OK) != 0)
        return std::nullopt;
    return std::string(buffer);
}

void addProblem(std::string& problems, const std::string& problem)
{
    if (!problems.empty())
        problems += '\n';
    problems += problem;
}

} // namespace

std::optional<std::string> findDriver(const runtime::Text& programDirectory)
{
    const std::string own = runtime::gbkToUtf8(programDirectory);
    const std::string prefix = own.substr(0, own.rfind('/'));
    const std::string file(xls::kDriverFileName);
    // The build writes these folders in: where `cmake --install` put the library, and
    // the multiarch folder of a Debian package built with another prefix.
    for (const std::string& candidate :
         {own + "/" + file, prefix + "/" QR_INSTALL_LIBDIR "/quillroll/" + file,
          prefix + "/lib/" QR_MULTIARCH "/quillroll/" + file, prefix + "/lib/quillroll/" + file})
        if (auto found = resolved(candidate))
            return found;
    return std::nullopt;
}

RunPlace settleRunPlace(const runtime::Text& programDirectory, std::string& problems)
{
    RunPlace place;
    place.data = roster::chooseDataPlace(programDirectory, roster::processEnvironment());
    std::string problem;
    if (!roster::prepareDataPlace(place.data, problem))
        addProblem(problems, problem);
    if (place.data.directory.empty())
        return place;
    setDataDirectory(place.data.directory);
    const std::string directory = runtime::gbkToUtf8(place.data.directory);
    if (::chdir(directory.c_str()) != 0)
        addProblem(problems, "cannot enter " + directory);

    place.driver = findDriver(programDirectory);
    if (!place.driver)
        addProblem(problems, "the spreadsheet driver " + std::string(xls::kDriverFileName) + " is not beside " +
                                 runtime::gbkToUtf8(programDirectory) + ": export and import cannot work");
    else if (xls::registerDriver(directory, *place.driver, problem) == xls::Registration::Failed)
        addProblem(problems, problem);
    xls::useRegistrationIn(directory);
    return place;
}

} // namespace qr::app

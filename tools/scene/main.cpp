// orvanta-scene: developer tool for scene documents.
//   orvanta-scene inspect FILE|--embedded   prints the document's tree (or
//                                the embedded demo scene's) as JSON; a
//                                refused document prints "error: <message>"
//                                on stderr and exits with 1.
//   orvanta-scene render FILE ...  renders a frame headless (SceneRender.h).

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "player/SlideShow.h"
#include "tests/support/DocumentSummaryClasses.h"
#include "tools/scene/SceneJson.h"
#include "tools/scene/SceneRender.h"

namespace {

int Usage()
{
    std::fputs("usage: orvanta-scene inspect FILE|--embedded\n"
               "       orvanta-scene render FILE|--embedded --time SECONDS --size WxH "
               "[--position stretch|fit|fill] --out PNG\n",
               stderr);
    return 2;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "error: %s\n", message.c_str());
    return 1;
}

int Inspect(const std::string& path)
{
    // Every stored class as the player reads it; the root alone is read as
    // plain data, so that its slides can be printed.
    InstallPlayerDocumentClasses();
    InstallInspectionSlideShow();
    try {
        const SceneDocument document = OpenDocumentArgument(path);
        std::fputs(InspectDocumentJson(document).c_str(), stdout);
        return 0;
    } catch (const DS_Error& error) {
        return Fail(error.what());
    } catch (const DocumentOpenFailure& failure) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", failure.code);
        return Fail("Cannot open file: " + path + " (" + code + ")");
    } catch (const std::bad_alloc&) {
        return Fail("Cannot open file: out of memory");
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "render")
        return RunRenderCommand(argc, argv);
    if (argc != 3 || std::string_view(argv[1]) != "inspect")
        return Usage();
    return Inspect(argv[2]);
}

#include "tools/scene/SceneRender.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "player/HeadlessRender.h"

namespace {

const std::map<std::string_view, int> kPositions{{"stretch", 0}, {"fit", 1}, {"fill", 2}};

int Usage(const char* problem)
{
    std::fprintf(stderr,
                 "error: %s\nusage: orvanta-scene render FILE|--embedded --time SECONDS --size WxH "
                 "[--position stretch|fit|fill] --out PNG\n",
                 problem);
    return 2;
}

std::optional<std::uint32_t> ParseSide(std::string_view text)
{
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value == 0 || value > 16384)
        return std::nullopt;
    return value;
}

std::optional<double> ParseSeconds(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0.0))
        return std::nullopt;
    return value;
}

bool ParseSize(std::string_view text, player::HeadlessRenderOptions& options)
{
    const auto x = text.find('x');
    if (x == std::string_view::npos)
        return false;
    const auto width = ParseSide(text.substr(0, x));
    const auto height = ParseSide(text.substr(x + 1));
    if (!width || !height)
        return false;
    options.width = *width;
    options.height = *height;
    return true;
}

} // namespace

int RunRenderCommand(int argc, char** argv)
{
    if (argc < 3)
        return Usage("no document given");
    const std::string file = argv[2];
    player::HeadlessRenderOptions options;
    std::string out;
    bool haveTime = false;
    for (int i = 3; i < argc; i += 2) {
        const std::string_view option = argv[i];
        if (i + 1 >= argc)
            return Usage("an option lacks its value");
        const std::string value = argv[i + 1];
        if (option == "--time") {
            const auto seconds = ParseSeconds(value);
            if (!seconds)
                return Usage("--time takes seconds, 0 or more");
            options.seconds = *seconds;
            haveTime = true;
        } else if (option == "--size") {
            if (!ParseSize(value, options))
                return Usage("--size takes WxH, e.g. 640x360");
        } else if (option == "--position") {
            const auto found = kPositions.find(value);
            if (found == kPositions.end())
                return Usage("--position takes stretch, fit or fill");
            options.picturePosition = found->second;
        } else if (option == "--out") {
            out = value;
        } else {
            return Usage("unknown option");
        }
    }
    if (!haveTime || out.empty())
        return Usage("--time and --out are required");

    player::HeadlessFrame frame;
    std::string error;
    const player::DocumentSource source = [file] { return OpenDocumentArgument(file); };
    if (!player::RenderHeadless(source, options, frame, error) ||
        !player::WriteFramePng(frame, out, error)) {
        std::fprintf(stderr, "error: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}

SceneDocument OpenDocumentArgument(const std::string& argument)
{
    if (argument == "--embedded")
        return OpenDocumentResource(kEmbeddedDocumentId);
    return OpenDocumentFile(crt::FromUtf8(argument));
}

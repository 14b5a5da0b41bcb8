// What the lab writes: the gear's outline through the engine's writers (e), and the frame as
// a PNG and a vector SVG (p). A failure is reported with its reason and the lab goes on.
#include "gear_export.h"
#include "gearlab.h"

#include <GL/glut.h>

#include <sys/stat.h>

namespace {

void reportFailure(std::FILE* err, const std::string& fileName, const std::string& reason)
{
    lab.problem.clear();
    lab.notice.clear();
    std::fprintf(err, "gearlab: cannot write '%s': %s\n", fileName.c_str(), reason.c_str());
    std::fflush(err);
    // The status line shows it in red, like a refused change.
    lab.problem = labTexts().couldNotWrite + fileName + ": " + labReason(reason);
}

void reportWritten(std::FILE* out, const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names) {
        std::fprintf(out, "%s\n", name.c_str());
        list += (list.empty() ? "" : ", ") + name;
    }
    std::fflush(out);
    lab.problem.clear();
    lab.notice = labTexts().wrote + list;
}

bool exists(const std::string& name)
{
    struct stat s {};
    return stat(name.c_str(), &s) == 0;
}

}  // namespace

bool exportOutline(std::FILE* out, std::FILE* err)
{
    GearExport gear{};
    std::string reason;
    // The outline again with its parts and arcs, as the writers take it: the lab keeps plain
    // points. The files are gearprofile's with its default options.
    if (!prepareGearExport(lab.gear, ExportOptions{}, &gear, &reason, labMostOutlinePoints)) {
        reportFailure(err, exportStem(), reason);
        return false;
    }
    struct Export {
        const char* extension;
        OutlineWriter write;
    };
    const Export exports[] = {{".svg", writeOutlineSvg}, {".dxf", writeOutlineDxf}, {".csv", writeOutlineCsv}};
    std::vector<std::string> written;
    for (const Export& e : exports) {
        const std::string name = exportStem() + e.extension;
        // Only regular files: a pipe nobody reads would hold the window for ever.
        if (!saveOutline(name, e.write, gear, &reason, SaveTargets::regularOnly)) {
            reportWritten(out, written);
            reportFailure(err, name, reason);
            return false;
        }
        written.push_back(name);
    }
    reportWritten(out, written);
    return true;
}

bool savePicture(std::FILE* out, std::FILE* err)
{
    const int width = windowWidth(), height = windowHeight();
    const std::vector<unsigned char> pixels = readFramePixels(width, height);
    const std::string svgDocument = finishSvgRecording();
    // The first free number: earlier pictures of the same gear and view are kept.
    const std::string stem = exportStem() + "-view" + std::to_string(lab.view) + "-";
    int number = 1;
    while (exists(stem + std::to_string(number) + ".png") || exists(stem + std::to_string(number) + ".svg")) ++number;
    const std::string png = stem + std::to_string(number) + ".png";
    const std::string svg = stem + std::to_string(number) + ".svg";
    std::string reason;
    if (!saveFileAtomically(png, [&](std::FILE* f) { return writePng(f, width, height, pixels); }, &reason,
                            SaveTargets::regularOnly)) {
        reportFailure(err, png, reason);
        glutPostRedisplay();
        return false;
    }
    if (!saveFileAtomically(svg, [&](std::FILE* f) { return std::fputs(svgDocument.c_str(), f) >= 0; }, &reason,
                            SaveTargets::regularOnly)) {
        reportWritten(out, {png});
        reportFailure(err, svg, reason);
        glutPostRedisplay();
        return false;
    }
    reportWritten(out, {png, svg});
    glutPostRedisplay();  // the status line now says what was written
    return true;
}

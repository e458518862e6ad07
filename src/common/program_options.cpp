#include "common/program_options.h"

#include <ostream>

#include "common/publication.h"

namespace common {

namespace {

const char* const kScreen =
    "Environment:\n"
    "  PGPLOT_DEV      the screen device (default /XWINDOW; /NULL draws nothing\n"
    "                  and asks for cursor positions on the console)\n";

ProgramStart usageError(const std::string& name, const std::string& usage, const std::string& why,
                        std::ostream& err) {
    err << name << ": " << why << "\n" << usage;
    err.flush();
    ProgramStart s;
    s.status = 2;
    return s;
}

// --output FILE: the suffix must name a picture.
ProgramStart checkOutput(const std::string& name, const std::string& usage, ProgramStart s, std::ostream& err) {
    if (s.run && s.args.has("--output") && !pictureFormat(s.args.value("--output")))
        return usageError(name, usage,
                          "--output takes a file ending in .eps, .plt, .pdf or .png, not '" + s.args.value("--output") +
                              "'",
                          err);
    return s;
}

}  // namespace

ProgramStart startProgram(const std::string& name, const std::string& usage, OptionSpec spec,
                          const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    spec.flags.insert("--help");
    spec.flags.insert("--version");
    ProgramStart s;
    try {
        s.args = parseCommandLine(words, spec);
    } catch (const UsageError& e) {
        return usageError(name, usage, e.what(), err);
    }
    if (s.args.has("--help")) {
        out << usage;
    } else if (s.args.has("--version")) {
        out << name << " " << kVersion << "\n";
    } else if (!s.args.positional.empty()) {
        return usageError(name, usage, "unexpected argument '" + s.args.positional.front() + "'", err);
    } else {
        s.run = true;
    }
    out.flush();
    return s;
}

const std::string& tarlisenUsage() {
    static const std::string text = std::string(
                                        "Usage: tarlisen [--fit cosine|hermite]\n"
                                        "       tarlisen --output FILE\n"
                                        "       tarlisen --help | --version\n"
                                        "\n"
                                        "Band structure diagrams from band energies along symmetry lines, made in a\n"
                                        "dialogue on standard input. In the current directory it reads the band\n"
                                        "input fort.1 and its counts fort.14, keeps the set-up of the lines in\n"
                                        "fort.3, writes the interpolated bands to fort.2, the graph layout to\n"
                                        "fort.15 and pictures to tarlisen.eps or tarlisen.plt.\n"
                                        "\n"
                                        "Options:\n"
                                        "  --fit cosine    fit each line with a cosine series (the default, unless\n"
                                        "                  fort.14 marks its gradients as the calculation's slopes,\n"
                                        "                  as the importers do: then the default is hermite)\n"
                                        "  --fit hermite   fit each line with piecewise cubic curves through the\n"
                                        "                  energies and slopes at its k points; the series falls\n"
                                        "                  back on these for a line it cannot fit\n"
                                        "  --output FILE   no dialogue: draw the interpolated bands of fort.2 with the\n"
                                        "                  layout of fort.15 (without it, the plain frame and bands\n"
                                        "                  over their whole energy range) to FILE and exit; its\n"
                                        "                  suffix picks the picture: .eps (PostScript), .plt (HPGL),\n"
                                        "                  .pdf or .png (made from the colour EPS beside them by\n"
                                        "                  ghostscript); landscape for four or more lines. No fit\n"
                                        "                  is made, so --fit does not go with it\n"
                                        "  --help          print this text\n"
                                        "  --version       print the version\n"
                                        "\n") +
                                    kScreen;
    return text;
}

const std::string& morvaneUsage() {
    static const std::string text = std::string(
                                        "Usage: morvane\n"
                                        "       morvane --output FILE\n"
                                        "       morvane --help | --version\n"
                                        "\n"
                                        "Densities of states, their projections and COOP curves, drawn in a\n"
                                        "dialogue on standard input. In the current directory it reads the DOS\n"
                                        "input fort.1, keeps the graph layout in fort.7 and writes pictures to\n"
                                        "morvane.eps or morvane.plt.\n"
                                        "\n"
                                        "Options:\n"
                                        "  --output FILE   no dialogue: draw the curves of fort.1 with the layout of\n"
                                        "                  fort.7 to FILE, upright, and exit; its suffix picks the\n"
                                        "                  picture: .eps (colour PostScript), .plt (HPGL), .pdf or\n"
                                        "                  .png (made from the EPS beside them by ghostscript)\n"
                                        "  --help          print this text\n"
                                        "  --version       print the version\n"
                                        "\n") +
                                    kScreen;
    return text;
}

ProgramStart startTarlisen(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    ProgramStart s =
        startProgram("tarlisen", tarlisenUsage(), OptionSpec{{"--fit", "--output"}, {}}, words, out, err);
    const std::string fit = s.args.value("--fit", "cosine");
    if (s.run && s.args.has("--fit") && fit != "cosine" && fit != "hermite")
        return usageError("tarlisen", tarlisenUsage(), "--fit takes cosine or hermite, not '" + fit + "'", err);
    // the picture is drawn from fort.2 as it stands: a fit asked for would not be made
    if (s.run && s.args.has("--fit") && s.args.has("--output"))
        return usageError("tarlisen", tarlisenUsage(),
                          "--fit does not go with --output, which draws fort.2 without interpolating", err);
    return checkOutput("tarlisen", tarlisenUsage(), s, err);
}

ProgramStart startMorvane(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    return checkOutput("morvane", morvaneUsage(),
                       startProgram("morvane", morvaneUsage(), OptionSpec{{"--output"}, {}}, words, out, err), err);
}

}  // namespace common

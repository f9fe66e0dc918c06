// melodrop-scenario: plays a scenario file against the whole melodrop program, headless, on the
// simulated chat client (or the fake Win32 client under Wine), and prints the room's transcript.
// Exit code 0 when every expectation held, 1 when one failed, 2 for a malformed scenario or a step
// that cannot be carried out, 124 for a step that hung.
#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "scenario/ScenarioRunner.h"

namespace {

constexpr const char* kUsage =
    "usage: melodrop-scenario [--silent] [--trace] [--step-limit SECONDS] [--installed DIR]\n"
    "                         [--client sim|win32|wine] [--windows-bin DIR] SCENARIO\n"
    "  --silent           play with the silent player instead of the audio engine\n"
    "  --trace            report every step on stderr before it runs\n"
    "  --step-limit N     give up when one step runs longer than N seconds (default 120)\n"
    "  --installed DIR    run the program as installed with its programs in DIR\n"
    "                     (<prefix>/bin), writing into a temporary per-user folder\n"
    "  --client win32     run on the fake chat client of real Win32 windows under Wine,\n"
    "                     reached through melodrop-bridge (WINEPREFIX names the prefix;\n"
    "                     scripts/with-wine-prefix.sh makes one); default: sim\n"
    "  --client wine      the same, with the bridge started as melodrop --client wine starts\n"
    "                     it (its token in the default place, in a runtime folder of the run)\n"
    "  --windows-bin DIR  where fake-client-ctl.exe and melodrop-bridge.exe are\n"
    "The scenario language is described in docs/SCENARIOS.md.\n";

// The offscreen platform says what it cannot do (raise a window, grab the keyboard for a popup
// menu) at every such call; those notes say nothing about the program and are dropped.
QtMessageHandler qtHandler = nullptr;

void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void printTo(std::FILE* stream, const QString& line) {
    std::fputs(line.toUtf8().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
    // The runner is headless: offscreen widgets unless told otherwise, no sound card needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    qtHandler = qInstallMessageHandler(quietOffscreenNotes);
    QApplication app(argc, argv);

    melodrop::scenario::RunOptions options;
    options.besideProgram = QCoreApplication::applicationDirPath();
    options.out = [](const QString& line) { printTo(stdout, line); };
    options.err = [](const QString& line) { printTo(stderr, line); };

    QString path;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--silent")) {
            options.forceSilent = true;
        } else if (arg == QLatin1String("--trace")) {
            options.trace = true;
        } else if (arg == QLatin1String("--step-limit") && i + 1 < args.size()) {
            bool ok = false;
            const int seconds = args[++i].toInt(&ok);
            if (!ok || seconds <= 0) {
                std::fputs(kUsage, stderr);
                return melodrop::scenario::kScenarioError;
            }
            options.stepLimit = std::chrono::seconds(seconds);
        } else if (arg == QLatin1String("--installed") && i + 1 < args.size()) {
            options.installedPrograms = args[++i];
        } else if (arg == QLatin1String("--client") && i + 1 < args.size()) {
            options.client = args[++i];
            if (options.client != QLatin1String("sim") &&
                options.client != QLatin1String("win32") &&
                options.client != QLatin1String("wine")) {
                std::fputs(kUsage, stderr);
                return melodrop::scenario::kScenarioError;
            }
        } else if (arg == QLatin1String("--windows-bin") && i + 1 < args.size()) {
            options.windowsBin = args[++i];
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg.startsWith(QLatin1Char('-')) || !path.isEmpty()) {
            std::fputs(kUsage, stderr);
            return melodrop::scenario::kScenarioError;
        } else {
            path = arg;
        }
    }
    if (path.isEmpty()) {
        std::fputs(kUsage, stderr);
        return melodrop::scenario::kScenarioError;
    }
    return melodrop::scenario::runScenarioFile(path, options).exitCode;
}

#include "tools/lux-preview/previewcommandline.h"

#include "tools/lux-preview/previewoutput.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {

QString dashed(const QString& name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

int usageError(FILE* err, const QString& message)
{
    std::fprintf(err, "lux-preview: %s\n", message.toLocal8Bit().constData());
    return ExitUsage;
}

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this text."));
}

// Reads `args` (args[0] taken as the program's name); on a mistake, says why naming the option.
bool parse(QCommandLineParser& parser, const QStringList& args, QString& problem)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (parser.parse(args))
        return true;
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        problem = QStringLiteral("unknown option %1").arg(dashed(unknown.first()));
        return false;
    }
    // "Missing value after '--png'." as a part of one line: "missing value after '--png'".
    problem = parser.errorText();
    if (problem.endsWith(u'.'))
        problem.chop(1);
    if (!problem.isEmpty())
        problem[0] = problem[0].toLower();
    return false;
}

// `head` and then `text`, broken into lines of at most 79 columns between words, the
// lines after the first indented by `indent` spaces.
QString wrapped(QString head, const QString& text, int indent)
{
    constexpr qsizetype columns = 79;
    qsizetype lineStart = 0;
    bool first = true;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!first && head.size() - lineStart + 1 + word.size() > columns) {
            head += u'\n';
            lineStart = head.size();
            head += QString(indent, u' ');
        } else if (!first) {
            head += u' ';
        }
        head += word;
        first = false;
    }
    return head + u'\n';
}

// "  --png <FILE>" for the option list of the program's help.
QString optionTitle(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names << dashed(name);
    QString title = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        title += QStringLiteral(" <%1>").arg(option.valueName());
    return title;
}

QString programHelp(const QList<PreviewCommand>& commands)
{
    qsizetype width = 0;
    for (const PreviewCommand& command : commands)
        for (const QCommandLineOption& option : command.options)
            width = std::max(width, optionTitle(option).size());
    QString text = QStringLiteral("Usage: lux-preview COMMAND [options]\n"
                                  "Shows what the window transition effects draw, without windows.\n\n"
                                  "Commands:\n");
    for (const PreviewCommand& command : commands) {
        text += wrapped(QStringLiteral("  lux-preview "), command.synopsis, 6) + wrapped(QStringLiteral("    "), command.summary, 4);
        for (const QCommandLineOption& option : command.options) {
            const QString title = QStringLiteral("      %1  ").arg(optionTitle(option), -int(width));
            text += wrapped(title, option.description(), int(title.size()));
        }
        text += u'\n';
    }
    text += QStringLiteral("Options:\n"
                           "  -h, --help     Show this text; after a command, that command's options.\n"
                           "  -v, --version  Show the version.\n\n"
                           "Exit status: 0 done, 1 a picture or an output could not be read or written,\n"
                           "2 a mistake on the command line, 3 the reader of standard output went away.\n");
    return text;
}

QString commandNames(const QList<PreviewCommand>& commands)
{
    QStringList names;
    for (const PreviewCommand& command : commands)
        names << command.name;
    return names.join(QStringLiteral(", "));
}

// The line begins with an option: the program's own --help or --version.
int runProgramOptions(const QList<PreviewCommand>& commands, const QStringList& args, CheckedOutput& out, FILE* err)
{
    const QString usage = QStringLiteral("usage: lux-preview COMMAND [options], COMMAND one of %1 "
                                         "(see lux-preview --help)").arg(commandNames(commands));
    if (args.isEmpty())
        return usageError(err, usage);
    QCommandLineParser parser;
    const QCommandLineOption help = helpOption();
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version."));
    parser.addOptions({help, version});
    QString problem;
    if (!parse(parser, QStringList(QStringLiteral("lux-preview")) + args, problem))
        return usageError(err, problem + QStringLiteral(" (see lux-preview --help)"));
    if (parser.isSet(help))
        out.print("%s", programHelp(commands).toUtf8().constData());
    else if (parser.isSet(version))
        out.print("lux-preview %s\n", FLASHUPDATE_VERSION);
    else
        return usageError(err, usage);
    return ExitDone;
}

int runCommand(const PreviewCommand& command, const QStringList& args, CheckedOutput& out, FILE* err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(wrapped(QString(), command.summary, 0).chopped(1));
    parser.addOptions(command.options);
    const QCommandLineOption help = helpOption();
    parser.addOption(help);
    QString problem;
    const QString seeHelp = QStringLiteral(" (see lux-preview %1 --help)").arg(command.name);
    if (!parse(parser, args, problem))
        return usageError(err, problem + seeHelp);
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        // The parser names the program by the path it was started with; the help shows the command.
        text.replace(0, text.indexOf(u'\n') + 1, wrapped(QStringLiteral("Usage: lux-preview "), command.synopsis, 4));
        out.print("%s", text.toUtf8().constData());
        return ExitDone;
    }
    const QStringList given = parser.optionNames(); // an option given twice is there twice
    for (const QCommandLineOption& option : command.options) {
        const auto times = std::count_if(given.begin(), given.end(),
                                         [&](const QString& name) { return option.names().contains(name); });
        if (times > 1)
            return usageError(err, QStringLiteral("%1 given more than once").arg(dashed(option.names().last())) + seeHelp);
    }
    if (parser.positionalArguments().size() != command.positionals)
        return usageError(err, QStringLiteral("usage: lux-preview ") + command.synopsis);
    return command.run(parser, out, err);
}

} // namespace

int runCommandLine(const QList<PreviewCommand>& commands, const QStringList& args, CheckedOutput& out, FILE* err)
{
    if (args.isEmpty() || args.first().startsWith(u'-'))
        return runProgramOptions(commands, args, out, err);
    for (const PreviewCommand& command : commands)
        if (command.name == args.first())
            return runCommand(command, args, out, err);
    return usageError(err, QStringLiteral("unknown command \"%1\" (see lux-preview --help)").arg(args.first()));
}

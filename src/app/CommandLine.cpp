#include "app/CommandLine.h"

CommandLine ReadCommandLine(const QStringList &arguments)
{
    CommandLine command;
    const QString first = arguments.value(1);
    if (first == QLatin1String("--help"))
        command.request = CommandLine::Request::Help;
    else if (first == QLatin1String("--version"))
        command.request = CommandLine::Request::Version;
    const qsizetype end = arguments.indexOf(QStringLiteral("--"), 1);
    command.toolkitArguments = end < 0 ? arguments.size() : end;
    if (end >= 0)
        command.literal = arguments.mid(end + 1);
    return command;
}

QString RequestReply(CommandLine::Request request)
{
    switch (request) {
    case CommandLine::Request::Version:
        return QStringLiteral("Orvik Pagloom " ORVIK_VERSION "\n");
    case CommandLine::Request::Help:
        return QStringLiteral(
            "Usage: OrvikEditor [FILE]\n"
            "       OrvikEditor -- FILE\n"
            "       OrvikEditor --help | --version\n"
            "\n"
            "Orvik Pagloom edits web pages as source text and shows them as a browser renders\n"
            "them. It opens FILE, when given, exactly as typed; further arguments are ignored.\n"
            "\n"
            "  --help     print this text and exit\n"
            "  --version  print the version and exit\n"
            "  --         take the next argument as the file, even when it begins with '-'\n");
    case CommandLine::Request::Edit:
        break;
    }
    return QString();
}

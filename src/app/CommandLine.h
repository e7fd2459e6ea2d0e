// The command line as the program reads it: a request for help or the version, or the file
// to open.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine
{
    enum class Request { Edit, Help, Version };
    Request request = Request::Edit;
    // The leading arguments, the program's name first, that the toolkit may take its own
    // options from: those before "--".
    qsizetype toolkitArguments = 0;
    // The arguments after "--", none of them an option, even when it begins with '-'.
    QStringList literal;
};

// Reads the whole command line, the program's name first, before the toolkit sees it. Only the
// first argument can ask for help or the version.
CommandLine ReadCommandLine(const QStringList &arguments);
// What --help and --version print.
QString RequestReply(CommandLine::Request request);

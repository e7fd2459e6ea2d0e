// The command line as the program reads it: a request for help or the version, or the file
// to open.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine
{
    enum class Request { Edit, Help, Version };
    Request request = Request::Edit;
    // The leading arguments the toolkit may take its own options from: none after "--".
    qsizetype toolkitArguments = 0;
};

// Reads the whole command line, the program's name first, before the toolkit sees it.
CommandLine ReadCommandLine(const QStringList &arguments);
// The file to open at start-up: the first argument exactly as typed, or the one after a
// leading "--"; empty when there is none.
QString FileArgument(const QStringList &arguments);
// What --help and --version print.
QString RequestReply(CommandLine::Request request);

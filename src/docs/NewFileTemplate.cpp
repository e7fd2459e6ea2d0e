#include "docs/NewFileTemplate.h"

QByteArray NewFileTemplate()
{
    static const char *const lines[] = {
        "<!-- Created with Ostra Pagloom version 2.0 -->",
        "",
        "<HTML>",
        "<HEAD>",
        "<META NAME=\"GENERATOR\" Content=\"Ostra Pagloom 2.0\">",
        "<TITLE>Untitled</TITLE>",
        "</HEAD>",
        "<BODY>",
        "",
        "",
        "</BODY>",
        "</HTML>",
    };
    QByteArray text;
    for (const char *line : lines)
        text.append(line).append("\r\n");
    return text;
}

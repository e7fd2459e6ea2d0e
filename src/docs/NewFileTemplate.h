// The skeleton page that New puts into the editor.
#pragma once

#include <QByteArray>

// Twelve lines of HTML, each followed by CR LF.
QByteArray NewFileTemplate();

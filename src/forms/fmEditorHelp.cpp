#include "forms/fmEditor.h"

#include "forms/fmAbout.h"
#include "host/FilePanel.h"
#include "util/FmxUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <memory>

namespace {

const QString kHelpFile = QStringLiteral("OstraEditor.html");

} // namespace

void TfrmEditor::itmOptionsClick() {}

void TfrmEditor::itmHelpContentsClick()
{
    // The directory the program was started in comes first, wherever the file panel has
    // moved since, so a help file kept there wins over the one installed beside the program.
    QString dir = DirListFilePath->Directory();
    if (!QFileInfo(QDir(dir), kHelpFile).isFile())
        dir = QCoreApplication::applicationDirPath();
    ExecuteFile(kHelpFile, QString(), dir, 1);
}

void TfrmEditor::itmAboutClick()
{
    // A new box for every showing, freed however the showing ends.
    const auto about = std::make_unique<TfrmAbout>();
    about->exec();
}

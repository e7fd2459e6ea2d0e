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

void TfrmEditor::itmOptionsClick() { }

void TfrmEditor::itmHelpContentsClick()
{
    // The directory the program was started in comes first, wherever the file panel has
    // moved since, so a help file kept there wins over one beside the program, and that one
    // over the installed one.
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList dirs = {
        DirListFilePath->Directory(), programDir,
        QDir::cleanPath(programDir + QStringLiteral("/" ORVIK_HELP_RELATIVE_DIR))};
    QString dir = dirs.last();
    for (const QString &candidate : dirs) {
        if (QFileInfo(QDir(candidate), kHelpFile).isFile()) {
            dir = candidate;
            break;
        }
    }
    ExecuteFile(kHelpFile, QString(), dir, 1);
}

void TfrmEditor::itmAboutClick()
{
    // A new box for every showing, freed however the showing ends.
    const auto about = std::make_unique<TfrmAbout>();
    about->exec();
}

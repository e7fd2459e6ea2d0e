#include "host/FilePanel.h"

#include "host/HostError.h"

#include <QDir>
#include <QFileInfo>

// Placeholder panel: keeps the directories and the mask, lists nothing yet.

TDriveComboBox::TDriveComboBox(Guard &guard, QWidget *parent) : QWidget(parent), m_guard(guard)
{
    setObjectName(QStringLiteral("drvCombo"));
}

void TDriveComboBox::Update() { update(); }

TDirectoryListBox::TDirectoryListBox(Guard &guard, QWidget *parent)
    : QWidget(parent), m_guard(guard), m_directory(QDir::currentPath())
{}

void TDirectoryListBox::setDirectory(const QString &dir)
{
    m_directory = dir;
    QDir::setCurrent(dir);
    if (m_fileList)
        m_fileList->setDirectory(dir);
}

void TDirectoryListBox::Update()
{
    if (m_fileList)
        m_fileList->setDirectory(m_directory);
}

TFilterComboBox::TFilterComboBox(Guard &guard, QWidget *parent) : QWidget(parent), m_guard(guard)
{
    setObjectName(QStringLiteral("cboFilter"));
}

TFileListBox::TFileListBox(Guard &guard, QWidget *parent)
    : QWidget(parent), m_guard(guard), m_directory(QDir::currentPath())
{
    setObjectName(QStringLiteral("FileList"));
}

void TFileListBox::ApplyFilePath(const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (!info.isDir())
        throw EHostError(QStringLiteral("Invalid path '%1'").arg(path));
    if (m_dirList)
        m_dirList->setDirectory(info.absoluteFilePath());
}

QString TFileListBox::FileName() const
{
    return QString();
}

void TFileListBox::setDirectory(const QString &dir)
{
    m_directory = dir;
}

void TFileListBox::setMask(const QString &mask)
{
    m_mask = mask;
}

void TFileListBox::Update() {}

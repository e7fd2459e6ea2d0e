// The file panel's controls: drive box, directory list, filter box and file list, linked together.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class Guard;
class TDirectoryListBox;
class TFileListBox;

class TDriveComboBox : public QWidget
{
    Q_OBJECT
public:
    TDriveComboBox(Guard &guard, QWidget *parent);
    void setDirList(TDirectoryListBox *list) { m_dirList = list; }
    void Update();

private:
    Guard &m_guard;
    TDirectoryListBox *m_dirList = nullptr;
};

class TDirectoryListBox : public QWidget
{
    Q_OBJECT
public:
    TDirectoryListBox(Guard &guard, QWidget *parent);
    void setFileList(TFileListBox *list) { m_fileList = list; }
    QString Directory() const { return m_directory; }
    // Makes dir the shown directory and the process's working directory.
    void setDirectory(const QString &dir);
    void Update();

private:
    Guard &m_guard;
    TFileListBox *m_fileList = nullptr;
    QString m_directory;
};

class TFilterComboBox : public QWidget
{
    Q_OBJECT
public:
    TFilterComboBox(Guard &guard, QWidget *parent);
    void setFileList(TFileListBox *list) { m_fileList = list; }

private:
    Guard &m_guard;
    TFileListBox *m_fileList = nullptr;
};

class TFileListBox : public QWidget
{
    Q_OBJECT
public:
    TFileListBox(Guard &guard, QWidget *parent);
    void setDirList(TDirectoryListBox *list) { m_dirList = list; }

    // Points the panel at a directory, a file or a mask; fails for a path that names none.
    void ApplyFilePath(const QString &path);
    // The selected file's full path, "" when none is selected.
    QString FileName() const;
    QString Directory() const { return m_directory; }
    void setDirectory(const QString &dir);
    QString Mask() const { return m_mask; }
    void setMask(const QString &mask);
    void Update();

    std::function<void()> OnDblClick;

private:
    Guard &m_guard;
    TDirectoryListBox *m_dirList = nullptr;
    QString m_directory;
    QString m_mask = QStringLiteral("*.htm*");
};

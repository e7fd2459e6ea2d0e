// The file panel's controls: drive box, directory list, filter box and file list, linked together.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class Guard;
class QAbstractItemView;
class QComboBox;
class QListView;
class QModelIndex;
class TDirectoryListBox;
class TFileListBox;
class DirectoryModel;
class NameListModel;

// The file-system root, the home and the user's volumes. Choosing one moves the directory list
// to the directory last shown there, or to the volume's root.
class TDriveComboBox : public QWidget
{
    Q_OBJECT
public:
    TDriveComboBox(Guard &guard, QWidget *parent);
    // Links both ways: the box follows the list's directory.
    void setDirList(TDirectoryListBox *list);
    // Repaints; the volumes are not listed again (opening the drop-down does that).
    void Update();

    QComboBox *comboBox() const { return m_box; }
    // The root of the selected volume.
    QString volume() const;
    // Selects the volume holding dir and remembers dir as that volume's current directory.
    void followDirectory(const QString &dir);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void listVolumes();
    void selectVolumeOf(const QString &dir);
    void choose(int index);

    Guard &m_guard;
    TDirectoryListBox *m_dirList = nullptr;
    QComboBox *m_box;
    QHash<QString, QString> m_current;
};

// The shown directory's path level by level from the root, then its subdirectories. A
// double-click or Enter on an entry makes it the shown directory.
class TDirectoryListBox : public QWidget
{
    Q_OBJECT
public:
    TDirectoryListBox(Guard &guard, QWidget *parent);
    void setFileList(TFileListBox *list) { m_fileList = list; }
    QString Directory() const { return m_directory; }
    // Makes dir the shown directory and the process's working directory, then moves the file
    // list there; fails, changing nothing, when dir is not a directory one can enter.
    void setDirectory(const QString &dir);
    // Reads the entries again from disk, then passes the directory on to the file list.
    void Update();

    QAbstractItemView *view() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TDriveComboBox;
    void readEntries();
    void openEntry(const QModelIndex &index);

    Guard &m_guard;
    TFileListBox *m_fileList = nullptr;
    TDriveComboBox *m_driveCombo = nullptr;
    QString m_directory;
    QListView *m_view;
    DirectoryModel *m_model;
};

// Pairs of shown text and mask; choosing one sets the file list's mask.
class TFilterComboBox : public QWidget
{
    Q_OBJECT
public:
    TFilterComboBox(Guard &guard, QWidget *parent);
    void setFileList(TFileListBox *list) { m_fileList = list; }
    // "text|mask|text|mask...", as designed "Web Documents (*.htm; *.html)|*.htm*|All Files
    // (*.*)|*.*".
    void setFilter(const QString &filter);
    // The mask of the selected entry.
    QString Mask() const;

    QComboBox *comboBox() const { return m_box; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    Guard &m_guard;
    TFileListBox *m_fileList = nullptr;
    QComboBox *m_box;
    QStringList m_masks;
};

// The shown directory's files that match the mask, sorted by name; hidden files and
// subdirectories are left out.
class TFileListBox : public QWidget
{
    Q_OBJECT
public:
    TFileListBox(Guard &guard, QWidget *parent);
    void setDirList(TDirectoryListBox *list) { m_dirList = list; }

    // Points the panel at a directory, a file or a mask. An empty path, or the selected file's
    // own path, changes nothing. The directory part moves the panel first; then a mask becomes
    // the mask, and an existing file is selected (its name becomes the mask when the mask
    // hides it). Fails for a directory that does not exist, or a last part that names nothing.
    void ApplyFilePath(const QString &path);
    // The selected file's full path, "" when none is selected.
    QString FileName() const;
    QString Directory() const { return m_directory; }
    // Shows dir; its names are read again only when it differs from the shown one.
    void setDirectory(const QString &dir);
    QString Mask() const { return m_mask; }
    void setMask(const QString &mask);
    // Reads the names again; the selected file stays selected while it is listed.
    void Update();

    // The names listed, and the selected one's index (-1 for none).
    QStringList Items() const;
    int ItemIndex() const;
    void setItemIndex(int index);
    QAbstractItemView *view() const;

    // Any double-click in the list, whether or not an entry is selected.
    std::function<void()> OnDblClick;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readFileNames();
    bool selectName(const QString &name);

    Guard &m_guard;
    TDirectoryListBox *m_dirList = nullptr;
    QString m_directory;
    QString m_mask = QStringLiteral("*.htm*");
    // The mask is a file's own name, matched literally.
    bool m_maskIsName = false;
    QListView *m_view;
    NameListModel *m_model;
};

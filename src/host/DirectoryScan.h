// Reading a directory's names for the file panel: what can be read is listed, nothing fails.
#pragma once

#include <QString>
#include <QStringList>

// A file mask as the wildcard search of the original platform reads it: ';' separates
// patterns, '*' matches any run of characters, '?' one character, case is ignored, and a
// trailing ".*" also matches a name without extension ("*.*" lists every file).
class FileMask
{
public:
    explicit FileMask(const QString &mask);
    // A mask that matches exactly this name, whatever characters it holds.
    static FileMask exactName(const QString &name);

    bool matches(QStringView name) const;

private:
    FileMask() = default;
    QStringList m_patterns;
    bool m_literal = false;
};

// The regular files of dir (symbolic links followed) whose names match, leaving out hidden
// files and names that cannot be decoded as they are stored; sorted by name.
QStringList ListFiles(const QString &dir, const FileMask &mask);

// The subdirectories of dir (symbolic links followed), leaving out hidden ones; sorted by name.
QStringList ListSubdirectories(const QString &dir);

// Sorts names as the panel shows them: ignoring case, then exactly.
void SortNames(QStringList &names);

// The absolute, clean form of a directory path, resolved against the working directory.
QString CleanDirectory(const QString &dir);

// Joins a directory and a name with one separator.
QString JoinPath(const QString &dir, const QString &name);

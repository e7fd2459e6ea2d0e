#include "host/DirectoryScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

// ORVIK_PORTABLE_FILES builds the code other platforms use, so that it can be checked here.
#if defined(Q_OS_UNIX) && !defined(ORVIK_PORTABLE_FILES)
#define ORVIK_POSIX_FILES
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#else
#include <QDirIterator>
#endif

namespace {

char16_t fold(QChar c)
{
    return QChar::toCaseFolded(c.unicode());
}

bool globMatch(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size()
                   && (pattern[p] == QLatin1Char('?') || fold(pattern[p]) == fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

enum class EntryKind { File, Directory };

#ifdef ORVIK_POSIX_FILES
// The name as stored, or false when it is not valid text: such a file could not be opened
// again by the name the panel would show.
bool decodeName(const char *raw, QString &name)
{
    const char *c = raw;
    while (*c && static_cast<unsigned char>(*c) < 0x80)
        ++c;
    if (!*c) {
        name = QString::fromLatin1(raw, c - raw);
        return true;
    }
    const QByteArray bytes(raw);
    name = QString::fromUtf8(bytes);
    return name.toUtf8() == bytes;
}

// Whether the entry is of the kind wanted, following symbolic links; a broken or looping link
// is of no kind.
bool isKind(int dirFd, const dirent *entry, EntryKind kind)
{
    const mode_t wanted = kind == EntryKind::File ? S_IFREG : S_IFDIR;
    if (entry->d_type == DT_REG)
        return wanted == S_IFREG;
    if (entry->d_type == DT_DIR)
        return wanted == S_IFDIR;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat st;
    return ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && (st.st_mode & S_IFMT) == wanted;
}

template<typename Accept>
QStringList listNames(const QString &dir, EntryKind kind, Accept accept)
{
    QStringList names;
    DIR *d = ::opendir(QFile::encodeName(dir).constData());
    if (!d)
        return names;
    const int fd = ::dirfd(d);
    QString name;
    while (const dirent *entry = ::readdir(d)) {
        // Hidden names, and "." and "..".
        if (entry->d_name[0] == '.')
            continue;
        if (!decodeName(entry->d_name, name) || !accept(name))
            continue;
        if (isKind(fd, entry, kind))
            names.append(name);
    }
    ::closedir(d);
    SortNames(names);
    return names;
}
#else
template<typename Accept>
QStringList listNames(const QString &dir, EntryKind kind, Accept accept)
{
    QStringList names;
    const QDir::Filters filters = (kind == EntryKind::File ? QDir::Files : QDir::Dirs)
                                  | QDir::Hidden | QDir::NoDotAndDotDot;
    QDirIterator entries(dir, filters);
    while (entries.hasNext()) {
        entries.next();
        const QString name = entries.fileName();
        // Hidden names, as on the other platforms.
        if (!name.startsWith(QLatin1Char('.')) && accept(name))
            names.append(name);
    }
    SortNames(names);
    return names;
}
#endif

} // namespace

FileMask::FileMask(const QString &mask)
{
    for (const QString &p : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = p.trimmed();
        if (!trimmed.isEmpty())
            m_patterns.append(trimmed);
    }
}

FileMask FileMask::exactName(const QString &name)
{
    FileMask mask;
    mask.m_patterns = {name};
    mask.m_literal = true;
    return mask;
}

bool FileMask::matches(QStringView name) const
{
    for (const QString &pattern : m_patterns) {
        if (m_literal) {
            if (pattern == name)
                return true;
            continue;
        }
        if (globMatch(pattern, name))
            return true;
        if (pattern.endsWith(QLatin1String(".*"))
            && globMatch(QStringView(pattern).chopped(2), name))
            return true;
    }
    return false;
}

QStringList ListFiles(const QString &dir, const FileMask &mask)
{
    return listNames(dir, EntryKind::File, [&](const QString &name) { return mask.matches(name); });
}

QStringList ListSubdirectories(const QString &dir)
{
    return listNames(dir, EntryKind::Directory, [](const QString &) { return true; });
}

void SortNames(QStringList &names)
{
    // The folded names sit in one buffer and their first four characters in one integer, so
    // that most comparisons of a large directory touch no other memory.
    struct Key
    {
        quint64 prefix;
        qsizetype offset;
        qsizetype length;
        qsizetype index;
    };
    qsizetype total = 0;
    for (const QString &n : names)
        total += n.size();
    std::u16string folded;
    folded.reserve(size_t(total));
    std::vector<Key> keys;
    keys.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &n = names[i];
        Key key {0, qsizetype(folded.size()), n.size(), i};
        for (qsizetype c = 0; c < n.size(); ++c) {
            const char16_t f = fold(n[c]);
            folded.push_back(f);
            if (c < 4)
                key.prefix |= quint64(f) << (16 * (3 - c));
        }
        keys.push_back(key);
    }
    const char16_t *base = folded.data();
    std::sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        const std::u16string_view restA(base + a.offset + std::min<qsizetype>(a.length, 4),
                                        size_t(std::max<qsizetype>(a.length - 4, 0)));
        const std::u16string_view restB(base + b.offset + std::min<qsizetype>(b.length, 4),
                                        size_t(std::max<qsizetype>(b.length - 4, 0)));
        const int c = restA.compare(restB);
        return c != 0 ? c < 0 : names[a.index] < names[b.index];
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Key &k : keys)
        sorted.append(std::move(names[k.index]));
    names = std::move(sorted);
}

QString CleanDirectory(const QString &dir)
{
    return QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

QString JoinPath(const QString &dir, const QString &name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

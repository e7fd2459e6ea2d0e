// What the surface marks around the text: line numbers, the current line, matching brackets
// and matching tags.
#pragma once

#include <QByteArrayView>
#include <QObject>
#include <functional>
#include <utility>

class QsciScintilla;

// The tag names to mark for a caret at `caret` in `text`: the name in the tag the caret is in
// or next to, and the name in its partner. Each is a start and an end; none when the caret is
// not at a tag or its partner lies outside the text. HTML's void elements have no partner.
struct TagMatch
{
    std::pair<qsizetype, qsizetype> here {-1, -1};
    std::pair<qsizetype, qsizetype> partner {-1, -1};
};
TagMatch MatchingTag(QByteArrayView text, qsizetype caret, bool html);

class SurfaceMarks : public QObject
{
    Q_OBJECT
public:
    // tagKind says whether the shown text has tags: 0 none, 1 HTML's, 2 XML's.
    SurfaceMarks(QsciScintilla &view, std::function<int()> tagKind);

    // The line-number margin's width for the shown text's line count.
    void fitMargin();
    // Marks the tags at the caret again.
    void markTags();

    static constexpr int kTagIndicator = 8;

private:
    QsciScintilla &m_view;
    std::function<int()> m_tagKind;
};

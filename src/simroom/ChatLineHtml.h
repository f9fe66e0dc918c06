#pragma once
// Chat lines carry the chat client's own small HTML: <Font Face=.. Color=.. Size=.. Back=..>,
// <b>, <i>, <u>, <s>, <a href=..>, <br> and their closing tags, case-insensitive and usually
// left open to the end of the line. This turns one line into the rich text Qt shows, the way
// the client draws it: a tag only counts when its name follows the "<" at once ("< a href" is
// plain text), unknown tags are not shown, everything else is text.
#include <QString>

namespace melodrop::simroom {

// Qt rich text (a run of <span>s, escaped) for one line's text.
QString chatLineToRichText(const QString& line);

}  // namespace melodrop::simroom

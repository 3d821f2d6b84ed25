#pragma once
// An entry limit on a text box that binds typing only: text set by the
// program (a stored name, a restored race detail) is shown whole, never cut
// to the limit as a line edit's own maximum length would cut it.

class QLineEdit;

namespace pellamy {

// What the limit counts: the text up to its first line break (a cell pasted
// from a spreadsheet), or in a box whose pasted row is shared out cell by
// cell, up to the first tab as well.
enum class LimitCounts { FirstLine, FirstCell };

void limitTyping(QLineEdit* box, int characters, LimitCounts counts = LimitCounts::FirstLine);

// The limit set on a box; 0 when it has none.
int typingLimit(const QLineEdit* box);

} // namespace pellamy

#pragma once
// An entry limit on a text box that binds typing only: text set by the
// program (a stored name, a restored race detail) is shown whole, never cut
// to the limit as a line edit's own maximum length would cut it.

class QLineEdit;

namespace pellamy {

// The limit counts the text up to its first line break or tab: what a one-line
// box keeps of cells pasted from a spreadsheet (the coordinates lists share
// the other cells of a pasted row out to the cells beside).
void limitTyping(QLineEdit* box, int characters);

// The limit set on a box; 0 when it has none.
int typingLimit(const QLineEdit* box);

} // namespace pellamy

#pragma once
// Habits the program's windows share.

#include <QString>

class QLabel;
class QWidget;

namespace pellamy {

// Rolling the mouse wheel over a list, a date or a time changes it only when
// it has the keyboard focus: a wheel turned to scroll past a member's name
// never changes the member, the race point or a clock time. Nor does a turn
// scrolling a form change the focused one that slides under the pointer.
// Guards every combo box, date and time picker in the window (and the ones
// inside them) and every form that scrolls, as they are now.
void wheelOnlyWhenFocused(QWidget* window);

// Enter or Return on the button that has the keyboard focus presses it, as
// Space does (a window's buttons otherwise take Space alone, and Enter on
// "Save Race to File" would do nothing without a word). Guards every push
// button in the window as it is now.
void enterPressesButtons(QWidget* window);

// A click on a date picker selects the day, month or year under the
// pointer, so that a date typed after one click takes its place (as a date
// typed after Tab does) instead of being refused figure by figure without a
// sign. Guards every date picker in the window as it is now (not the times).
void clickSelectsDatePart(QWidget* window);

// A day typed into a date picker that the month it shows lacks (31 over
// 01/11, typed for 31/10) waits for the month typed after it, instead of
// being cut to the month's last day unseen; a date that never has it
// (31/11) is refused with a beep, the picker keeping the date it showed.
// Guards every date picker in the window as it is now (not the times).
void dayWaitsForItsMonth(QWidget* window);

// Text pasted into a one-line box (a cell copied from a spreadsheet ends in
// a line break, cells side by side have tabs between them) is taken up to
// its first line break or tab, the first cell: a break or tab kept in a name
// or race point would make it another name, move its row on the sheets and
// break a line of result.txt. Guards
// every text box in the window (and the ones inside its combo boxes) as it
// is now; text the program sets is shown as it stands.
void oneLineTyping(QWidget* window);

// Figures typed in any script (an input method's full-width ones,
// Arabic-Indic ones) as the plain figures they stand for, and full-width
// punctuation (an input method's colon) as the plain marks.
QString plainFigures(const QString& text);

// A text as a one-line box takes it: up to its first line break or tab.
QString firstLine(const QString& text);

// What oneLineTyping leaves of a box's text with the cursor at the end of a
// paste: the paste up to its first line break or tab, and what stood after
// the cursor.
QString oneLineText(const QString& text, qsizetype cursor);

// The wait cursor while a window waits on something that may be slow (the
// federation's server on a poor line, a long work-out, a club's file that
// another copy of Pellamy is writing), from construction to destruction.
// Keep it around the wait only: a message shown meanwhile would show it too.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Places the window in the middle of its screen's free area, made smaller
// to fit where it can be; one larger than the area still (a small laptop
// screen at a large text size) has its top left corner on the screen, so
// that its title bar can be reached to move it.
void centreOnScreen(QWidget* window);

// Names a control for screen readers after the label beside it: the
// label's words without the dots that lead the eye to the box ("Members
// ......" says "Members"), then any words given; with none given, the label
// is made its buddy as well. A box without a name takes its frame's
// caption, or none.
void nameAfterLabel(QWidget* control, QLabel* label, const QString& more = QString());

// A window whose caption is empty shows an empty title bar. (The platform
// would otherwise put the program's name there.)
void showEmptyCaption(QWidget* window);

} // namespace pellamy

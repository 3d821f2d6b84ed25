#pragma once
// Habits the program's windows share.

class QWidget;

namespace pellamy {

// Rolling the mouse wheel over a list, a date or a time changes it only when
// it has the keyboard focus: a wheel turned to scroll past a member's name
// never changes the member, the race point or a clock time. Guards every combo box, date and time
// picker in the window (and the ones inside them) as it is now.
void wheelOnlyWhenFocused(QWidget* window);

// A window whose caption is empty shows an empty title bar. (The platform
// would otherwise put the program's name there.)
void showEmptyCaption(QWidget* window);

} // namespace pellamy

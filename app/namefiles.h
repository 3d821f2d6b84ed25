#pragma once
// club.txt and fed.txt: one name each, beside the program.
//
// Written form: the name in double quotes, then CR LF; a double quote inside
// the name is written as it is. Read form: leading blanks skipped; a quoted
// name runs to the next double quote (to the end of the file, less its line
// end, when there is none); an unquoted one to the first comma or line end,
// with trailing blanks removed.

#include "calc/filewrite.h"

#include <QString>

namespace pellamy {

// The name in a file; an empty name when the file is missing, empty or
// cannot be read.
QString readNameFile(const QString& path);

// The name read from a file's text by the read form.
QString readNameText(const QString& text);

// Writes the name, replacing the file; what went wrong when it could not.
FileWrite writeNameFile(const QString& path, const QString& name);

} // namespace pellamy

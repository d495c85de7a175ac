#pragma once
// A template's plaintext as text, for people: the header fields, every
// record in hexadecimal and every FN/NN pair of the map section, one a line,
// with the function's name as a comment where it is known. The same text
// turned back into a plaintext. Used by the template tool of the support
// desk; nothing here is read by the program itself.
//
//     version 4
//     record-size 63
//     records 1
//     pairs 128
//     record 0: 8B 02 43 33 37 ...
//     slot 0: FN 10 NN 01   # Door lock
//
// "#" starts a comment anywhere; empty lines are skipped; numbers of the
// header and of records and slots are decimal, bytes two hexadecimal digits.
// A record line may hold fewer bytes than the record size (the rest are 0).

#include "link/Bytes.h"

#include <QString>
#include <functional>

namespace TemplateText {
// The name of a function for the comment, or empty.
using TNamer = std::function<QString(quint8 fn)>;

// The text form of a plaintext; false, with why, when the plaintext ends
// before its header, records or map section.
bool Dump(const tduomenys& plaintext, const TNamer& name, QString* text, QString* error);
// The plaintext of a text form, its map section right after its records;
// false, with the line and why, when the text is not one.
bool Parse(const QString& text, tduomenys* plaintext, QString* error);
} // namespace TemplateText
